// Reads a saved workbook once, at open, into plain tables; Cell() answers from them. This file
// reads the workbook part and picks the sheet; the rest is in WorkbookPackage.cpp,
// WorkbookStyles.cpp and WorkbookSheet.cpp.
#include "excel/WorkbookSource.h"

#include "excel/WorkbookSheet.h"
#include "model/FileIO.h"

namespace sheetlift::workbook {

WorkbookSource::WorkbookSource(const std::string& bytes, const std::string& fileName,
                               const std::string& displayName, const WorkbookOptions& options)
    : workbookName_(fileName) {
    Package package(bytes, displayName);

    std::string workbookPart = "xl/workbook.xml";
    for (const auto& [id, rel] : ReadRelationships(package, ""))
        if (rel.type == "officeDocument")
            workbookPart = rel.target;
    std::string workbookData = package.Require(workbookPart, ErrorCode::WorkbookNoWorkbookPart);
    pugi::xml_document workbook;
    package.Parse(workbook, workbookData, workbookPart);
    const pugi::xml_node root = workbook.document_element();
    if (Local(root.name()) != "workbook")
        package.Fail(ErrorCode::WorkbookPartNotWorkbook, {workbookPart});
    date1904_ = IsTrue(Child(root, "workbookPr").attribute("date1904"));
    const auto relationships = ReadRelationships(package, workbookPart);

    for (const auto& [id, rel] : relationships) {
        if (rel.type == "styles")
            ReadStyles(package, rel.target, styles_);
        if (rel.type == "sharedStrings")
            ReadSharedStrings(package, rel.target);
    }
    if (styles_.cellFormats.empty())
        styles_.cellFormats.emplace_back();

    // Which sheet: --sheet, a sheet named in --range, or the active tab.
    std::string rangeText = options.range;
    std::string wanted = options.sheet;
    if (!rangeText.empty()) {
        std::string why;
        const auto parsed = SplitRangeText(rangeText, why);
        if (!parsed)
            package.Fail(ErrorCode::WorkbookBadRange, {why});
        if (!parsed->sheet.empty()) {
            if (!wanted.empty() && wanted != parsed->sheet)
                package.Fail(ErrorCode::WorkbookRangeOtherSheet, {parsed->sheet, wanted});
            wanted = parsed->sheet;
            rangeText = rangeText.substr(rangeText.rfind('!') + 1);
        }
    }
    std::vector<pugi::xml_node> sheets;
    ForEach(Child(root, "sheets"), "sheet", [&](pugi::xml_node s) { sheets.push_back(s); });
    if (sheets.empty())
        package.Fail(ErrorCode::WorkbookNoSheets);
    pugi::xml_node sheet;
    if (wanted.empty()) {
        // Excel never shows a hidden sheet as the active one: an active tab that is hidden or
        // past the last sheet gives way to the first visible sheet.
        auto visible = [](pugi::xml_node s) {
            const std::string_view state = s.attribute("state").value();
            return state.empty() || state == "visible";
        };
        const auto active =
            Child(Child(root, "bookViews"), "workbookView").attribute("activeTab").as_uint();
        if (active < sheets.size() && visible(sheets[active]))
            sheet = sheets[active];
        for (std::size_t i = 0; i < sheets.size() && !sheet; ++i)
            if (visible(sheets[i]))
                sheet = sheets[i];
        if (!sheet)
            sheet = sheets[0];
    } else {
        // Excel tells sheet names apart without regard to case.
        auto lower = [](std::string_view name) {
            std::string out(name);
            for (char& c : out)
                c = char(std::tolower(static_cast<unsigned char>(c)));
            return out;
        };
        std::string names;
        for (pugi::xml_node s : sheets) {
            if (!sheet && lower(s.attribute("name").value()) == lower(wanted))
                sheet = s;
            names += std::string(names.empty() ? "" : ", ") + s.attribute("name").value();
        }
        if (!sheet)
            package.Fail(ErrorCode::WorkbookNoSuchSheet, {wanted, names});
    }
    sheetName_ = sheet.attribute("name").value();
    const auto rel = relationships.find(RelationshipId(sheet));
    if (rel == relationships.end())
        package.Fail(ErrorCode::WorkbookSheetPartMissing, {sheetName_});
    if (rel->second.type == "chartsheet")
        package.Fail(ErrorCode::WorkbookChartSheet, {sheetName_});
    if (rel->second.type != "worksheet")
        package.Fail(ErrorCode::WorkbookNotWorksheet, {sheetName_, rel->second.type});
    ReadSheet(package, rel->second.target, rangeText);
}

} // namespace sheetlift::workbook

namespace sheetlift {

std::unique_ptr<SelectionSource> OpenWorkbookBytes(std::string bytes, const std::string& fileName,
                                                   const WorkbookOptions& options) {
    return std::make_unique<workbook::WorkbookSource>(bytes, fileName, fileName, options);
}

std::unique_ptr<SelectionSource> OpenWorkbookSource(const std::filesystem::path& path,
                                                    const WorkbookOptions& options) {
    const std::string bytes = ReadWholeFile(path);
    const auto name = path.filename().u8string();
    return std::make_unique<workbook::WorkbookSource>(bytes, std::string(name.begin(), name.end()),
                                                      DisplayPath(path), options);
}

} // namespace sheetlift
