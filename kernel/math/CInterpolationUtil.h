#pragma once
// Codes and labels of the interpolation choices: the curve fitted, the form of
// the factors it is fitted to, the kind of period and the unearned-exposure
// adjustment. The labels are the texts the option dialogs list, so a label
// read back from a dialog or a grid turns into its code again.
#include <string>

enum ENUM_CURVE_TYPE { CURVE_LINEAR = 1, CURVE_EXPONENTIAL = 2, CURVE_WEIBULL = 3, CURVE_INVERSE_POWER = 4 };
enum ENUM_INPUT_TYPE { INPUT_CUMULATIVE = 1, INPUT_RATIO_TO_ULTIMATE = 2 };
enum ENUM_PERIOD { PERIOD_ACCIDENT = 0, PERIOD_POLICY = 1 };
enum ENUM_ADJ_UNEARNED_EXPOSURE { ADJ_FULL_PERIOD_ULTIMATE = 0, ADJ_PARTIAL_PERIOD_ULTIMATE = 1 };

class CInterpolationUtil {
public:
    // "Linear", "Exponential", "Weibull", "Inverse Power"; abbreviated
    // "Linear", "Exp", "Weibull", "Inv Power". Empty for an unknown code.
    static std::string GetCurveLabel(ENUM_CURVE_TYPE curve, int abbreviated);
    // "Cumulative", "Ratio to Ultimate"; abbreviated "Cum", "Ratio to Ult".
    static std::string GetInputLabel(ENUM_INPUT_TYPE input, int abbreviated);
    // Label (full or abbreviated, case ignored, surrounding blanks ignored) to
    // code; false and *out untouched for a text that is no label.
    static bool GetCurveType(const std::string& label, ENUM_CURVE_TYPE* out);
    static bool GetInputType(const std::string& label, ENUM_INPUT_TYPE* out);
    // Position of a code in the dialogs' lists (curves: Linear, Exponential,
    // Weibull, Inverse Power; inputs: Cumulative, Ratio to Ultimate); -1 for
    // an unknown code.
    static int GetCurveIndices(ENUM_CURVE_TYPE curve);
    static int GetInputIndices(ENUM_INPUT_TYPE input);
};
