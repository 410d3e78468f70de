#include "CInterpolationUtil.h"

#include <cctype>

namespace {

const char* const kInterpCurveLong[4] = {"Linear", "Exponential", "Weibull", "Inverse Power"};
const char* const kInterpCurveShort[4] = {"Linear", "Exp", "Weibull", "Inv Power"};
const char* const kInterpInputLong[2] = {"Cumulative", "Ratio to Ultimate"};
const char* const kInterpInputShort[2] = {"Cum", "Ratio to Ult"};

std::string InterpNormalise(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    std::string out = s.substr(b, e - b);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

int CInterpolationUtil::GetCurveIndices(ENUM_CURVE_TYPE curve) {
    return (curve >= CURVE_LINEAR && curve <= CURVE_INVERSE_POWER) ? curve - CURVE_LINEAR : -1;
}

int CInterpolationUtil::GetInputIndices(ENUM_INPUT_TYPE input) {
    return (input == INPUT_CUMULATIVE || input == INPUT_RATIO_TO_ULTIMATE) ? input - INPUT_CUMULATIVE : -1;
}

std::string CInterpolationUtil::GetCurveLabel(ENUM_CURVE_TYPE curve, int abbreviated) {
    const int i = GetCurveIndices(curve);
    if (i < 0) return {};
    return abbreviated ? kInterpCurveShort[i] : kInterpCurveLong[i];
}

std::string CInterpolationUtil::GetInputLabel(ENUM_INPUT_TYPE input, int abbreviated) {
    const int i = GetInputIndices(input);
    if (i < 0) return {};
    return abbreviated ? kInterpInputShort[i] : kInterpInputLong[i];
}

bool CInterpolationUtil::GetCurveType(const std::string& label, ENUM_CURVE_TYPE* out) {
    const std::string t = InterpNormalise(label);
    for (int i = 0; i < 4; ++i) {
        if (t == InterpNormalise(kInterpCurveLong[i]) || t == InterpNormalise(kInterpCurveShort[i])) {
            if (out) *out = static_cast<ENUM_CURVE_TYPE>(CURVE_LINEAR + i);
            return true;
        }
    }
    return false;
}

bool CInterpolationUtil::GetInputType(const std::string& label, ENUM_INPUT_TYPE* out) {
    const std::string t = InterpNormalise(label);
    for (int i = 0; i < 2; ++i) {
        if (t == InterpNormalise(kInterpInputLong[i]) || t == InterpNormalise(kInterpInputShort[i])) {
            if (out) *out = static_cast<ENUM_INPUT_TYPE>(INPUT_CUMULATIVE + i);
            return true;
        }
    }
    return false;
}
