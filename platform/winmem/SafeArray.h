#pragma once
// One-dimensional automation safe arrays of doubles, 4-byte integers or
// strings, with the platform calls that fill them element by element.
//
// A string (BSTR) is a pointer to 8-bit characters with its byte length kept
// just before them and a terminator after them. Get returns a copy of the
// element (strings are copied); Put stores a copy of what it is given.
#include <cstdint>
#include <vector>

namespace winmem {

using HRESULT = std::int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
constexpr HRESULT DISP_E_BADINDEX = static_cast<HRESULT>(0x8002000B);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);

using VARTYPE = std::uint16_t;
constexpr VARTYPE VT_I4 = 3;
constexpr VARTYPE VT_R8 = 5;
constexpr VARTYPE VT_BSTR = 8;

using BSTR = char*;
BSTR SysAllocStringByteLen(const char* text, std::uint32_t bytes);  // text may be null: zeroed storage
std::uint32_t SysStringByteLen(BSTR s);
void SysFreeString(BSTR s);

struct SAFEARRAY {
    VARTYPE vt = VT_R8;
    std::uint16_t dims = 1;
    std::int32_t lbound = 0;
    std::vector<double> doubles;
    std::vector<std::int32_t> ints;
    std::vector<BSTR> strings;
};

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, std::int32_t lbound, std::uint32_t count);
HRESULT SafeArrayDestroy(SAFEARRAY* psa);  // frees the strings it holds
unsigned SafeArrayGetDim(const SAFEARRAY* psa);
HRESULT SafeArrayGetLBound(const SAFEARRAY* psa, unsigned dim, std::int32_t* out);
HRESULT SafeArrayGetUBound(const SAFEARRAY* psa, unsigned dim, std::int32_t* out);
HRESULT SafeArrayGetVartype(const SAFEARRAY* psa, VARTYPE* out);
// value points to a double, an int32 or a BSTR as the array's type says.
HRESULT SafeArrayGetElement(const SAFEARRAY* psa, const std::int32_t* index, void* value);
HRESULT SafeArrayPutElement(SAFEARRAY* psa, const std::int32_t* index, const void* value);

}  // namespace winmem
