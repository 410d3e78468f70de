#pragma once
// The window of an object whose own view is not part of the program yet:
// it carries the object's name in its caption and says plainly, in the
// window, that the view is not available, instead of showing a blank pane.
#include <QLabel>

#include "CView.h"

namespace qs::app {

class CNotYetView : public CView {
public:
    explicit CNotYetView(QWidget* parent = nullptr);
    void OnInitialUpdate() override;
    QString Message() const;

private:
    QLabel* m_label;
};

}  // namespace qs::app
