#include "SafeArray.h"

#include <cstdlib>
#include <cstring>

namespace winmem {

BSTR SysAllocStringByteLen(const char* text, std::uint32_t bytes) {
    auto* raw = static_cast<char*>(std::calloc(1, sizeof(std::uint32_t) + bytes + 1));
    if (!raw) return nullptr;
    std::memcpy(raw, &bytes, sizeof bytes);
    char* s = raw + sizeof(std::uint32_t);
    if (text) std::memcpy(s, text, bytes);
    return s;
}

std::uint32_t SysStringByteLen(BSTR s) {
    if (!s) return 0;
    std::uint32_t n = 0;
    std::memcpy(&n, s - sizeof(std::uint32_t), sizeof n);
    return n;
}

void SysFreeString(BSTR s) {
    if (s) std::free(s - sizeof(std::uint32_t));
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, std::int32_t lbound, std::uint32_t count) {
    if (vt != VT_I4 && vt != VT_R8 && vt != VT_BSTR) return nullptr;
    auto* a = new SAFEARRAY;
    a->vt = vt;
    a->lbound = lbound;
    if (vt == VT_R8) a->doubles.assign(count, 0.0);
    if (vt == VT_I4) a->ints.assign(count, 0);
    if (vt == VT_BSTR) a->strings.assign(count, nullptr);
    return a;
}

HRESULT SafeArrayDestroy(SAFEARRAY* psa) {
    if (!psa) return S_OK;
    for (BSTR s : psa->strings) SysFreeString(s);
    delete psa;
    return S_OK;
}

unsigned SafeArrayGetDim(const SAFEARRAY* psa) { return psa ? psa->dims : 0; }

namespace {
std::size_t Count(const SAFEARRAY* a) {
    return a->vt == VT_R8 ? a->doubles.size() : a->vt == VT_I4 ? a->ints.size() : a->strings.size();
}
// The position of index in the array's storage, or -1 when out of bounds.
long Slot(const SAFEARRAY* a, const std::int32_t* index) {
    if (!a || !index) return -1;
    const long i = static_cast<long>(*index) - a->lbound;
    return i >= 0 && static_cast<std::size_t>(i) < Count(a) ? i : -1;
}
}  // namespace

HRESULT SafeArrayGetLBound(const SAFEARRAY* psa, unsigned dim, std::int32_t* out) {
    if (!psa || !out || dim != 1) return E_INVALIDARG;
    *out = psa->lbound;
    return S_OK;
}

HRESULT SafeArrayGetUBound(const SAFEARRAY* psa, unsigned dim, std::int32_t* out) {
    if (!psa || !out || dim != 1) return E_INVALIDARG;
    *out = psa->lbound + static_cast<std::int32_t>(Count(psa)) - 1;
    return S_OK;
}

HRESULT SafeArrayGetVartype(const SAFEARRAY* psa, VARTYPE* out) {
    if (!psa || !out) return E_INVALIDARG;
    *out = psa->vt;
    return S_OK;
}

HRESULT SafeArrayGetElement(const SAFEARRAY* psa, const std::int32_t* index, void* value) {
    const long i = Slot(psa, index);
    if (i < 0 || !value) return DISP_E_BADINDEX;
    switch (psa->vt) {
    case VT_R8: std::memcpy(value, &psa->doubles[i], sizeof(double)); break;
    case VT_I4: std::memcpy(value, &psa->ints[i], sizeof(std::int32_t)); break;
    default: {
        BSTR src = psa->strings[i];
        BSTR copy = src ? SysAllocStringByteLen(src, SysStringByteLen(src)) : nullptr;
        if (src && !copy) return E_OUTOFMEMORY;
        std::memcpy(value, &copy, sizeof copy);
    }
    }
    return S_OK;
}

HRESULT SafeArrayPutElement(SAFEARRAY* psa, const std::int32_t* index, const void* value) {
    const long i = Slot(psa, index);
    if (i < 0 || !value) return DISP_E_BADINDEX;
    switch (psa->vt) {
    case VT_R8: std::memcpy(&psa->doubles[i], value, sizeof(double)); break;
    case VT_I4: std::memcpy(&psa->ints[i], value, sizeof(std::int32_t)); break;
    default: {
        BSTR src = nullptr;
        std::memcpy(&src, value, sizeof src);
        BSTR copy = src ? SysAllocStringByteLen(src, SysStringByteLen(src)) : nullptr;
        if (src && !copy) return E_OUTOFMEMORY;
        SysFreeString(psa->strings[i]);
        psa->strings[i] = copy;
    }
    }
    return S_OK;
}

}  // namespace winmem
