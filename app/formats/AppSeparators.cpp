#include "formats/AppSeparators.h"

#include <QLocale>

#include <atomic>

namespace {

std::atomic<char16_t> gDecimalSeparator{u'.'};
std::atomic<char16_t> gThousandsSeparator{u','};

}  // namespace

namespace qs::app {

void SetApplicationSeparators(QChar decimalSeparator, QChar thousandsSeparator) {
    gDecimalSeparator = decimalSeparator.unicode();
    gThousandsSeparator = thousandsSeparator.unicode();
}

QChar ApplicationDecimalSeparator() { return QChar(gDecimalSeparator.load()); }
QChar ApplicationThousandsSeparator() { return QChar(gThousandsSeparator.load()); }

void SetApplicationSeparatorsFromLocale() {
    const QLocale locale = QLocale::system();
    const QString decimal = locale.decimalPoint();
    const QString group = locale.groupSeparator();
    SetApplicationSeparators(decimal.isEmpty() ? QChar(u'.') : decimal.at(0),
                             group.isEmpty() ? QChar(u',') : group.at(0));
}

}  // namespace qs::app
