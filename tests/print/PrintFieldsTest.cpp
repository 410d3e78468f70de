// Field expansion of header, footer and title texts, by named cases over
// the sample project.
#include <gtest/gtest.h>

#include "CDataObject.h"
#include "CPrintInfo.h"
#include "KernelIds.h"
#include "PrintFields.h"
#include "PrintListFixture.h"

using qs::print::ExpandPrintFields;

namespace {

struct PrintFieldsTest : qs::test::PrintListFixture {
    void SetUp() override {
        PrintListFixture::SetUp();
        m_doc->GetProject()->SetCompanyName("Acme Mutual");
        m_page.m_nCurPage = 3;
    }
    CPrintInfo m_page;
};

TEST_F(PrintFieldsTest, NamedCases) {
    CFormula* gross = m_doc->GetProject()->FindObject(qs::test::kPaid, 2);
    ASSERT_NE(gross, nullptr);
    struct Case {
        const char* label;
        QString text;
        bool withPage;
        bool withObject;
        bool interactive;
        QString expected;
    };
    const QString unsaved;
    const std::vector<Case> cases{
        {"page in lower case", "Page &[page]", true, false, true, "Page 3"},
        {"page without a print state stays, others expand", "&[Company Name] p. &[Page]", false, false, true,
         "Acme Mutual p. &[Page]"},
        {"unknown name written back", "&[Company Name] &[Nope]", true, false, true, "Acme Mutual &[Nope]"},
        {"two ampersands", "&&[Page]", true, false, true, "&3"},
        {"lone ampersand and bracket", "R&D [draft] & more", true, false, true, "R&D [draft] & more"},
        {"layer without its bracket", "Layer: &[Layer", true, true, true, "Layer: Gross"},
        {"layer without an object", "Layer: &[Layer", true, false, true, "Layer: &[Layer]"},
        {"file name", "&[File Name]", true, false, true, "sample.qs5"},
        {"file name under automation", "&[File Name]", true, false, false, "&[File Name]"},
        {"evaluation date of a file project", "&[Evaluation Date]", true, false, true, "&[Evaluation Date]"},
        {"table name, no prefix for the paid loss", "&[Table Name]", true, true, true, "Paid Loss"},
        {"cumulative or incremental", "&[Cumulative/Incremental]", true, true, true,
         dynamic_cast<CDataObject*>(gross)->IsViewedCumulative() ? "Cumulative" : "Incremental"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExpandPrintFields(c.text, c.withPage ? &m_page : nullptr, m_doc.get(), c.withObject ? gross : nullptr,
                                    c.interactive),
                  c.expected)
            << c.label;
}

TEST_F(PrintFieldsTest, AnUnsavedProjectHasNoFileDateAndTheTextGoesOn) {
    CProjectDoc fresh;
    EXPECT_EQ(ExpandPrintFields(QStringLiteral("[&[File Date]|&[File Time]] end"), &m_page, &fresh, nullptr, true),
              QStringLiteral("[|] end"));
}

TEST_F(PrintFieldsTest, TextsAndNamesHaveNoLengthLimit) {
    const QString longText = QString(40000, QLatin1Char('x')) + QStringLiteral("&[Page]");
    EXPECT_EQ(ExpandPrintFields(longText, &m_page, m_doc.get(), nullptr, true), QString(40000, QLatin1Char('x')) + "3");
    const QString longName = QStringLiteral("&[") + QString(300, QLatin1Char('n')) + QLatin1Char(']');
    EXPECT_EQ(ExpandPrintFields(longName, &m_page, m_doc.get(), nullptr, true), longName);
}

}  // namespace
