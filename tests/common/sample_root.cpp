#include "common/sample_root.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/bytes.h"

#include "os/paths.h"

namespace ruvotest {

namespace fs = std::filesystem;

namespace {

const fs::path gStartFolder = fs::current_path();

bool Written(const std::string &rel) {
    return rel == "debug.txt" || rel == "filelog.txt" || rel == "vek/state.inf" || rel.rfind("vek/slot", 0) == 0;
}

void Link(const fs::path &from, const std::string &rel, const std::vector<std::string> &without) {
    std::error_code ec;
    for (const fs::directory_entry &e : fs::directory_iterator(from, ec)) {
        const std::string name = e.path().filename().string();
        const std::string path = rel.empty() ? name : rel + "/" + name;
        if (Written(path)) continue;
        bool skip = false, inside = false;
        for (const std::string &w : without) {
            skip = skip || w == path;
            inside = inside || w.rfind(path + "/", 0) == 0;
        }
        if (skip) continue;
        if (inside || path == "vek") {
            fs::create_directory(path, ec);
            Link(e.path(), path, without);
        } else if (path == "Marrowgleam.ini") {
            fs::copy_file(e.path(), path, ec);
        } else {
            fs::create_symlink(e.path(), path, ec);
        }
    }
}

std::string Slurp(const fs::path &p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Every entry of a slab file: its name (backslashes made "/", without the
// leading one) and its bytes. False when the index does not fit the file.
bool SlabEntries(const std::string &bytes, std::vector<std::pair<std::string, std::string>> *out) {
    const ByteView v = BytesOf(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
    uint32_t count = 0, index = 0;
    if (!ReadU32Le(v, 4, &count) || !ReadU32Le(v, 8, &index)) return false;
    for (uint32_t i = 0; i < count; ++i) {
        const size_t at = size_t(index) + size_t(i) * 72;
        uint32_t offset = 0, size = 0;
        if (!ReadU32Le(v, at + 64, &offset) || !ReadU32Le(v, at + 68, &size) || size_t(offset) + size > bytes.size())
            return false;
        std::string name(bytes.data() + at, 64);
        name.resize(name.find('\0') == std::string::npos ? 64 : name.find('\0'));
        for (char &c : name)
            if (c == '\\') c = '/';
        if (!name.empty() && name[0] == '/') name.erase(0, 1);
        out->push_back({name, bytes.substr(offset, size)});
    }
    return true;
}

// Makes `dir` (below the root) a real folder: a link to a folder becomes a
// folder of links to what it held.
void MakeRealFolder(const fs::path &dir) {
    std::error_code ec;
    if (fs::is_symlink(dir, ec)) {
        const fs::path target = fs::read_symlink(dir, ec);
        fs::remove(dir, ec);
        fs::create_directory(dir, ec);
        for (const fs::directory_entry &e : fs::directory_iterator(target, ec))
            fs::create_symlink(e.path(), dir / e.path().filename(), ec);
    } else {
        fs::create_directories(dir, ec);
    }
}

}  // namespace

std::string SampleFileText(const std::string &rel) {
    const fs::path root = SampleDataRoot();
    std::error_code ec;
    if (fs::is_regular_file(root / rel, ec)) return Slurp(root / rel);
    const std::string folder = "vek/resource/";
    if (rel.rfind(folder, 0) != 0) return std::string();
    const size_t slash = rel.find('/', folder.size());
    if (slash == std::string::npos) return std::string();
    const std::string slab = rel.substr(folder.size(), slash - folder.size()), inner = rel.substr(slash + 1);
    std::vector<std::pair<std::string, std::string>> entries;
    if (!SlabEntries(Slurp(root / (folder + slab + ".slb")), &entries)) return std::string();
    for (const auto &[name, bytes] : entries)
        if (name == inner) return bytes;
    return std::string();
}

bool UnpackSlab(const std::string &root, const std::string &slab, const std::vector<std::string> &without) {
    const fs::path file = fs::path(root) / "vek/resource" / (slab + ".slb");
    std::vector<std::pair<std::string, std::string>> entries;
    std::error_code exists;
    const fs::path from =
        fs::exists(file, exists) ? file : fs::path(SampleDataRoot()) / "vek/resource" / (slab + ".slb");
    if (!SlabEntries(Slurp(from), &entries)) return false;
    // The slab's own folder first: a link to the sample tree's would remove
    // the sample tree's slab.
    MakeRealFolder(fs::path(root) / "vek");
    MakeRealFolder(fs::path(root) / "vek/resource");
    std::error_code ec;
    fs::remove(file, ec);
    for (const auto &[name, bytes] : entries) {
        const std::string rel = "vek/resource/" + slab + "/" + name;
        bool skip = false;
        for (const std::string &w : without) skip = skip || w == rel;
        const fs::path target = fs::path(root) / rel;
        if (skip || fs::is_regular_file(fs::symlink_status(target, ec))) continue;
        fs::path dir;
        for (const fs::path &part : fs::path(rel).parent_path()) {
            dir /= part;
            MakeRealFolder(fs::path(root) / dir);
        }
        fs::remove(target, ec);
        std::ofstream(target, std::ios::binary) << bytes;
    }
    osFlushPathCache();
    return true;
}

std::string SampleDataRoot() {
    const char *env = std::getenv("RUVO_DATA");
    return (gStartFolder / (env ? env : "data")).lexically_normal().string();
}

SampleRoot::SampleRoot(const std::vector<std::string> &without) {
    Link(SampleDataRoot(), "", without);
    osFlushPathCache();
}

}  // namespace ruvotest
