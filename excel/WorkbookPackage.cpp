// Limits against hostile files (each a clear error): a part may not unpack to more than
// 256 MiB, all parts read together to more than 1 GiB, and a part over 1 MiB may not unpack
// to more than 200 times its compressed size. pugixml never expands DTD entities.
#include "excel/WorkbookPackage.h"

#include "model/Error.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace sheetlift::workbook {

namespace {

constexpr std::uint64_t kMaxPartBytes = 256ULL << 20;
constexpr std::uint64_t kMaxTotalBytes = 1ULL << 30;
constexpr std::uint64_t kRatioCheckedFrom = 1ULL << 20;
constexpr std::uint64_t kMaxRatio = 200;

// Resolves a relationship target against the folder of the part that names it: absolute
// ("/xl/worksheets/sheet1.xml") or relative with "./" and "../" segments, "\\" taken as "/".
std::string ResolveTarget(const std::string& folder, std::string_view target) {
    std::string path;
    for (char c : target)
        path += c == '\\' ? '/' : c;
    if (path.empty() || path[0] != '/')
        path.insert(0, folder);
    std::vector<std::string_view> segments;
    const std::string_view whole = path;
    for (std::size_t start = 0; start <= whole.size();) {
        const std::size_t end = std::min(whole.find('/', start), whole.size());
        const std::string_view segment = whole.substr(start, end - start);
        if (segment == "..") {
            if (!segments.empty())
                segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = end + 1;
    }
    std::string resolved;
    for (const auto segment : segments)
        resolved += std::string(resolved.empty() ? "" : "/") + std::string(segment);
    return resolved;
}

std::string_view TrimStart(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\n' ||
                             text.front() == '\r'))
        text.remove_prefix(1);
    if (text.size() > 1 && text.front() == '+')
        text.remove_prefix(1);
    return text;
}

} // namespace

double LeadingDouble(std::string_view text, double fallback) {
    text = TrimStart(text);
    double value = 0;
    if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc())
        return fallback;
    return value;
}

long long LeadingInteger(std::string_view text, long long fallback) {
    text = TrimStart(text);
    long long value = 0;
    if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc())
        return fallback;
    return value;
}

Package::Package(const std::string& bytes, std::string file) : file_(std::move(file)) {
    if (bytes.size() >= 4 && std::memcmp(bytes.data(), "\xD0\xCF\x11\xE0", 4) == 0) {
        // An OLE compound file: either an encrypted workbook or a legacy .xls.
        static const char kEncryptionInfo[] = "E\0n\0c\0r\0y\0p\0t\0i\0o\0n\0I\0n\0f\0o";
        if (std::string_view(bytes).find(std::string_view(
                kEncryptionInfo, sizeof kEncryptionInfo - 1)) != std::string_view::npos)
            Fail(ErrorCode::WorkbookEncrypted);
        Fail(ErrorCode::WorkbookLegacyXls);
    }
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    if (source)
        zip_ = zip_open_from_source(source, ZIP_RDONLY, &error);
    if (!zip_) {
        if (source)
            zip_source_free(source);
        std::string reason = zip_error_strerror(&error); // "Not a zip archive", ...
        zip_error_fini(&error);
        if (!reason.empty())
            reason[0] = char(std::tolower(static_cast<unsigned char>(reason[0])));
        Fail(ErrorCode::WorkbookNotZip, {reason});
    }
    zip_error_fini(&error);
    const zip_int64_t count = zip_get_num_entries(zip_, 0);
    for (zip_int64_t i = 0; i < count; ++i)
        if (const char* name = zip_get_name(zip_, zip_uint64_t(i), 0))
            index_.emplace(PartKey(name), zip_uint64_t(i)); // the first of duplicates
}

Package::~Package() {
    zip_discard(zip_);
}

void Package::Fail(ErrorCode code, std::vector<std::string> args) const {
    args.insert(args.begin(), file_);
    throw Error(code, std::move(args));
}

std::unique_ptr<PartStream> Package::Open(const std::string& name) {
    const auto found = index_.find(PartKey(name));
    if (found == index_.end())
        return nullptr;
    const zip_uint64_t index = found->second;
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(zip_, index, 0, &stat) != 0)
        Fail(ErrorCode::WorkbookPartUnreadable, {name, zip_strerror(zip_)});
    if (stat.encryption_method != ZIP_EM_NONE)
        Fail(ErrorCode::WorkbookPartEncrypted, {name});
    zip_file_t* file = zip_fopen_index(zip_, index, 0);
    if (!file)
        Fail(ErrorCode::WorkbookPartUnreadable, {name, zip_strerror(zip_)});
    return std::make_unique<PartStream>(*this, name, file, stat);
}

PartStream::PartStream(Package& package, std::string name, zip_file_t* file, const zip_stat_t& stat)
    : package_(package), name_(std::move(name)), file_(file), stat_(stat) {}

PartStream::~PartStream() {
    zip_fclose(file_);
}

std::size_t PartStream::SizeHint() const {
    if (!(stat_.valid & ZIP_STAT_SIZE))
        return 0;
    // A hostile file may state anything: never more than the limits allow.
    std::uint64_t bound = std::min(kMaxPartBytes, kMaxTotalBytes - package_.total_);
    if (stat_.valid & ZIP_STAT_COMP_SIZE)
        bound = std::min(bound, std::max(kRatioCheckedFrom, stat_.comp_size * kMaxRatio));
    return std::size_t(std::min<std::uint64_t>(stat_.size, bound));
}

std::size_t PartStream::Read(char* buffer, std::size_t room) {
    const zip_int64_t n = zip_fread(file_, buffer, room);
    if (n < 0)
        package_.Fail(ErrorCode::WorkbookPartDamaged, {name_, zip_file_strerror(file_)});
    read_ += std::uint64_t(n);
    package_.total_ += std::uint64_t(n);
    const bool tooLarge = read_ > kMaxPartBytes || package_.total_ > kMaxTotalBytes;
    const bool ratio = (stat_.valid & ZIP_STAT_COMP_SIZE) && read_ > kRatioCheckedFrom &&
                       read_ / std::max<zip_uint64_t>(stat_.comp_size, 1) > kMaxRatio;
    if (tooLarge || ratio)
        package_.Fail(ratio                              ? ErrorCode::WorkbookPartRatio
                      : package_.total_ > kMaxTotalBytes ? ErrorCode::WorkbookTooLargeInAll
                                                         : ErrorCode::WorkbookPartTooLarge,
                      {name_});
    return std::size_t(n);
}

std::optional<std::string> Package::Read(const std::string& name) {
    const auto part = Open(name);
    if (!part)
        return std::nullopt;
    std::string data;
    // Reserved at the stated size, so a large part is not copied as it grows.
    data.reserve(part->SizeHint());
    char buffer[1 << 16];
    while (const std::size_t n = part->Read(buffer, sizeof buffer))
        data.append(buffer, n);
    return data;
}

std::string Package::Require(const std::string& name, ErrorCode missing) {
    auto data = Read(name);
    if (!data)
        Fail(missing, {name});
    return std::move(*data);
}

void Package::Parse(pugi::xml_document& doc, std::string& data, const std::string& name) const {
    const auto result = doc.load_buffer_inplace(data.data(), data.size(),
                                                pugi::parse_default | pugi::parse_ws_pcdata_single);
    if (!result)
        Fail(ErrorCode::WorkbookPartNotXml,
             {name, result.description(), std::to_string(result.offset)});
}

std::string Package::PartKey(std::string_view name) {
    std::string key;
    for (char c : name)
        key += c == '\\' ? '/' : char(std::tolower(static_cast<unsigned char>(c)));
    key.erase(0, key.find_first_not_of('/'));
    return key;
}

std::unordered_map<std::string, Relationship> ReadRelationships(Package& package,
                                                                const std::string& partPath) {
    const std::size_t slash = partPath.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : partPath.substr(0, slash + 1);
    const std::string name = folder + "_rels/" + partPath.substr(folder.size()) + ".rels";
    std::unordered_map<std::string, Relationship> relationships;
    auto data = package.Read(name);
    if (!data)
        return relationships;
    pugi::xml_document doc;
    package.Parse(doc, *data, name);
    ForEach(doc.document_element(), "Relationship", [&](pugi::xml_node r) {
        if (std::string_view(r.attribute("TargetMode").value()) == "External")
            return;
        const std::string_view type = r.attribute("Type").value();
        relationships[r.attribute("Id").value()] = {
            std::string(type.substr(type.rfind('/') + 1)),
            ResolveTarget(folder, r.attribute("Target").value())};
    });
    return relationships;
}

} // namespace sheetlift::workbook
