// The floor of reading a workbook: inflate the sheet, the shared strings and the styles with
// libzip and parse each into pugixml's DOM, touching nothing. No reader of the same parts can
// do much less work; scripts/bench sets the conversion beside it.
//
//     bench_workbook_floor BOOK.xlsx [SHEET_PART]     (default xl/worksheets/sheet1.xml)
#include <pugixml.hpp>
#include <zip.h>

#include <cstdio>

namespace {

// Inflates the part into a buffer of its stated size and parses it in place. A workbook
// without shared strings (its texts inline) has nothing to parse there.
bool ParsePart(zip_t* zip, const char* name, bool required) {
    zip_stat_t stat;
    if (zip_stat(zip, name, 0, &stat) != 0)
        return !required;
    if (!(stat.valid & ZIP_STAT_SIZE))
        return false;
    zip_file_t* file = zip_fopen(zip, name, 0);
    if (!file)
        return false;
    const std::size_t size = std::size_t(stat.size);
    char* buffer = static_cast<char*>(pugi::get_memory_allocation_function()(size ? size : 1));
    const bool read = zip_fread(file, buffer, size) == zip_int64_t(size);
    zip_fclose(file);
    pugi::xml_document doc;
    // The document owns and frees the buffer.
    return read && doc.load_buffer_inplace_own(buffer, size);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s BOOK.xlsx [SHEET_PART]\n", argv[0]);
        return 2;
    }
    int error = 0;
    zip_t* zip = zip_open(argv[1], ZIP_RDONLY, &error);
    if (!zip) {
        std::fprintf(stderr, "%s: cannot open (libzip error %d)\n", argv[1], error);
        return 1;
    }
    const char* parts[] = {argc > 2 ? argv[2] : "xl/worksheets/sheet1.xml", "xl/sharedStrings.xml",
                           "xl/styles.xml"};
    int status = 0;
    for (const char* part : parts)
        if (!ParsePart(zip, part, part == parts[0])) {
            std::fprintf(stderr, "%s: cannot read %s\n", argv[1], part);
            status = 1;
        }
    zip_discard(zip);
    return status;
}
