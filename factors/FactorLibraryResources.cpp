#include "FactorLibraryResources.h"

#include "CDFLView.h"
#include "CommandIds.h"
#include "Resources.h"

namespace qs::factors {

void RegisterFactorLibraryResources() {
    using qs::fw::MenuItem;
    const std::vector<MenuItem> menu = {
        {QStringLiteral("&File"),
         {{QStringLiteral("&Save\tCtrl+S"), ID_FILE_SAVE},
          {QStringLiteral("Save &As..."), ID_FILE_SAVE_AS},
          MenuItem::Separator(),
          {QStringLiteral("&Print...\tCtrl+P"), ID_FILE_PRINT},
          MenuItem::Separator(),
          {QStringLiteral("&Close"), ID_FILE_CLOSE}}},
        {QStringLiteral("&Edit"),
         {{QStringLiteral("Cu&t\tCtrl+X"), ID_EDIT_CUT},
          {QStringLiteral("&Copy\tCtrl+C"), ID_EDIT_COPY},
          {QStringLiteral("&Paste\tCtrl+V"), ID_EDIT_PASTE},
          {QStringLiteral("&Delete\tDel"), CDFLView::ID_EDIT_DELETE},
          {QStringLiteral("Clear &All"), ID_EDIT_CLEAR_ALL}}},
        {QStringLiteral("&View"),
         {{QStringLiteral("Age to &Age"), CDFLView::ID_FORM_AGE_TO_AGE},
          {QStringLiteral("Age to &Ultimate"), CDFLView::ID_FORM_AGE_TO_ULT},
          {QStringLiteral("&Ratio to Ultimate"), CDFLView::ID_FORM_RATIO_TO_ULT},
          MenuItem::Separator(),
          {QStringLiteral("&Decimals..."), CDFLView::ID_SET_DECIMALS},
          {QStringLiteral("&New Evaluation"), CDFLView::ID_NEW_EVALUATION}}},
    };
    qs::fw::RegisterMenu(kLibraryMenuId, menu);
    qs::fw::RegisterMenu(kLibraryMenuIdEnterprise, menu);
    const std::pair<UINT, const char*> prompts[] = {
        {CDFLView::ID_FORM_AGE_TO_AGE, "Display format Age to Age"},
        {CDFLView::ID_FORM_AGE_TO_ULT, "Display format Age to Ultimate"},
        {CDFLView::ID_FORM_RATIO_TO_ULT, "Display format Ratio to Ultimate"},
        {CDFLView::ID_NEW_EVALUATION, "Add new evaluation period to selected factor set"},
        {CDFLView::ID_SET_DECIMALS, "Set number of decimals in the view"},
    };
    for (const auto& [id, text] : prompts)
        if (!qs::fw::HasResourceString(id)) qs::fw::RegisterString(id, QString::fromLatin1(text));
}

}  // namespace qs::factors
