#include "ZipMember.h"

#include <gsf/gsf.h>

#include <sstream>
#include <vector>

namespace qs::test {

std::string ReadZipMember(const std::string& zipPath, const std::string& member, bool* ok) {
    if (ok) *ok = false;
    gsf_init();
    GError* err = nullptr;
    GsfInput* file = gsf_input_stdio_new(zipPath.c_str(), &err);
    if (!file) {
        if (err) g_error_free(err);
        return {};
    }
    GsfInfile* zip = gsf_infile_zip_new(file, &err);
    g_object_unref(file);
    if (!zip) {
        if (err) g_error_free(err);
        return {};
    }
    // Walk the path one folder at a time.
    std::vector<std::string> parts;
    std::stringstream ss(member);
    for (std::string part; std::getline(ss, part, '/');) parts.push_back(part);
    GsfInput* node = GSF_INPUT(g_object_ref(zip));
    for (const std::string& part : parts) {
        GsfInput* child = GSF_IS_INFILE(node) ? gsf_infile_child_by_name(GSF_INFILE(node), part.c_str()) : nullptr;
        g_object_unref(node);
        node = child;
        if (!node) break;
    }
    g_object_unref(zip);
    if (!node) return {};
    std::string bytes;
    const gsf_off_t size = gsf_input_size(node);
    bytes.resize(size_t(size));
    if (size > 0 && !gsf_input_read(node, size_t(size), reinterpret_cast<guint8*>(bytes.data()))) bytes.clear();
    else if (ok) *ok = true;
    g_object_unref(node);
    return bytes;
}

}  // namespace qs::test
