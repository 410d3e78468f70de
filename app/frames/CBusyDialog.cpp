#include "frames/CBusyDialog.h"

#include "KernelGlobals.h"
#include "shell/ShellStrings.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>
#include <vector>

namespace {

// Busy dialogs that are up, oldest first; the last is the current one.
std::vector<CBusyDialog*>& BusyStack() {
    static std::vector<CBusyDialog*> stack;
    return stack;
}

// Owners disabled by busy dialogs: how many dialogs hold each, and whether it
// was enabled before the first of them.
struct OwnerHold {
    int count = 0;
    bool wasEnabled = false;
};

std::map<QWidget*, OwnerHold>& OwnerHolds() {
    static std::map<QWidget*, OwnerHold> holds;
    return holds;
}

void HoldOwner(QWidget* owner) {
    OwnerHold& hold = OwnerHolds()[owner];
    if (hold.count++ == 0) {
        hold.wasEnabled = owner->isEnabled();
        if (hold.wasEnabled) owner->setEnabled(false);
    }
}

void ReleaseOwnerHold(QWidget* owner) {
    auto it = OwnerHolds().find(owner);
    if (it == OwnerHolds().end()) return;
    if (--it->second.count == 0) {
        if (it->second.wasEnabled) owner->setEnabled(true);
        OwnerHolds().erase(it);
    }
}

// Drops system keys (Alt combinations, F10) while a busy dialog pumps, so
// the menus of the disabled frame cannot be reached through the keyboard.
class SystemKeyFilter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        return (key->modifiers() & Qt::AltModifier) || key->key() == Qt::Key_Alt || key->key() == Qt::Key_F10;
    }
};

constexpr double kPi = 3.14159265358979323846;

// Set whenever a turning thread has drawn a picture that no window shows yet;
// KeepTurning reads only this while nothing is new.
std::atomic<bool> gFramePending{false};

bool OnInterfaceThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app != nullptr && QThread::currentThread() == app->thread();
}

}  // namespace

// ---------------------------------------------------------------- spinner

CSpinnerWnd::CSpinnerWnd(QWidget* parent) : QWidget(parent) {
    setFixedSize(32, 32);
    // Every paint covers the whole window with the picture.
    setAttribute(Qt::WA_OpaquePaintEvent);
    CWnd::SetControlId(this, IDC_BUSY_SPINNER);
    m_frameSize = size();
    m_background = palette().color(QPalette::Window);
}

void CSpinnerWnd::resizeEvent(QResizeEvent*) {
    std::lock_guard lock(m_frameMutex);
    m_frameSize = size();
}

void CSpinnerWnd::Rotate(double step) {
    double angle = m_angle.load();
    double turned = 0;
    do {
        turned = std::fmod(angle + step, 2 * kPi);
    } while (!m_angle.compare_exchange_weak(angle, turned));

    QSize size;
    QColor background;
    {
        std::lock_guard lock(m_frameMutex);
        size = m_frameSize;
        background = m_background;
    }
    // Drawn here, on the turning thread, into an image (which any thread may
    // paint); only showing it needs the user-interface thread.
    QImage picture = Draw(turned, size, background);
    {
        std::lock_guard lock(m_frameMutex);
        m_frame = std::move(picture);
    }
    m_framePending = true;
    gFramePending = true;
    if (OnInterfaceThread()) ShowPendingFrame();
    else QMetaObject::invokeMethod(this, [this] { ShowPendingFrame(); }, Qt::QueuedConnection);
}

bool CSpinnerWnd::ShowPendingFrame() {
    if (!m_framePending.exchange(false) || !isVisible()) return false;
    repaint();  // paints and flushes now, without the event loop
    return true;
}

void CSpinnerWnd::paintEvent(QPaintEvent*) {
    QImage picture;
    {
        std::lock_guard lock(m_frameMutex);
        if (m_frame.size() != size()) m_frame = Draw(m_angle.load(), size(), m_background);
        picture = m_frame;
    }
    // One blit of the finished picture, so the turning figure never flickers.
    QPainter(this).drawImage(0, 0, picture);
    ++m_framesShown;
}

QImage CSpinnerWnd::Draw(double angle, const QSize& size, const QColor& background) {
    const QRect client(QPoint(0, 0), size);
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull()) return picture;
    picture.fill(background);
    {
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF circle = QRectF(client).adjusted(2, 2, -2, -2);
        p.setPen(QPen(Qt::black, 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(circle);

        const QPointF c = circle.center();
        const double r = 0.8 * std::min(circle.width(), circle.height()) / 2;
        const double a = angle;
        auto at = [&](double degrees) {
            const double t = a + degrees * kPi / 180.0;
            return QPointF(c.x() + r * std::cos(t), c.y() - r * std::sin(t));
        };
        const QPointF blade[] = {at(200), at(202), c, at(65)};
        const QPointF tail[] = {c, at(-20), at(65)};
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::blue);
        p.drawPolygon(blade, 4);
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(tail, 3);
    }
    return picture;
}

// ---------------------------------------------------------------- dialog

CBusyDialog::CBusyDialog(UINT captionId)
    : CDialog(kTemplateId, nullptr), m_nCaptionId(captionId != 0 ? captionId : kDefaultCaptionId) {
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    m_spinner = new CSpinnerWnd(this);
    m_message = new QLabel(this);
    SetControlId(m_message, IDC_BUSY_MESSAGE);
    m_message->setMinimumWidth(260);
    m_message->setWordWrap(true);
    m_percent = new QLabel(QStringLiteral(" 0 %"), this);
    SetControlId(m_percent, IDC_BUSY_PERCENT);
    m_progress = new QProgressBar(this);
    SetControlId(m_progress, IDC_BUSY_PROGRESS);
    m_progress->setTextVisible(false);
    m_cancel = AddButton(IDCANCEL, QStringLiteral("Cancel"));
    m_cancel->setAutoDefault(false);

    auto* top = new QHBoxLayout;
    top->addWidget(m_spinner, 0, Qt::AlignTop);
    auto* lines = new QVBoxLayout;
    lines->addWidget(m_message);
    lines->addWidget(m_percent);
    lines->addWidget(m_progress);
    top->addLayout(lines, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_cancel, 0, Qt::AlignHCenter);
}

CBusyDialog::~CBusyDialog() {
    DestroyWindow();
}

bool CBusyDialog::Create(CWnd* owner, bool showCancel) {
    if (m_created) return false;
    QWidget* top = owner && owner->GetWidget() ? owner->GetWidget()->window() : nullptr;
    if (top) {
        HoldOwner(top);
        m_owner = top;
    }

    // Initialisation of the window.
    m_progress->setRange(m_nLower, m_nUpper);
    m_progress->setValue(m_nLower);
    m_progress->hide();  // the turning figure shows the activity
    setWindowTitle(ShellString(m_nCaptionId));
    if (!m_strCancelCaption.isEmpty()) m_cancel->setText(m_strCancelCaption);
    m_cancel->setVisible(showCancel);
    adjustSize();
    const QRect over = top ? top->frameGeometry()
                           : (QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry() : QRect());
    if (over.isValid()) move(over.center() - rect().center());

    // An older busy dialog steps back until this one is gone.
    std::vector<CBusyDialog*>& stack = BusyStack();
    if (!stack.empty()) stack.back()->hide();
    stack.push_back(this);
    m_created = true;

    CDialog::Create(kTemplateId, nullptr);
    StartSpinner();
    // Long kernel computations give the figure its chances to show.
    SetKernelPulse(&CBusyDialog::KeepTurning);
    return true;
}

void CBusyDialog::StartSpinner() {
    {
        std::lock_guard lock(m_stopMutex);
        m_stop = false;
    }
    try {
        m_thread = std::thread([this] {
            std::unique_lock lock(m_stopMutex);
            while (!m_stop) {
                lock.unlock();
                m_spinner->Rotate(kTurnStep);
                lock.lock();
                m_stopSignal.wait_for(lock, std::chrono::milliseconds(kTurnIntervalMs), [this] { return m_stop; });
            }
        });
    } catch (const std::system_error&) {
        // No thread: the figure stands still; nothing else depends on it.
    }
}

void CBusyDialog::StopSpinner() {
    {
        std::lock_guard lock(m_stopMutex);
        m_stop = true;
    }
    m_stopSignal.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

void CBusyDialog::ReleaseOwner() {
    if (m_owner) ReleaseOwnerHold(m_owner);
    m_owner = nullptr;
}

BOOL CBusyDialog::DestroyWindow() {
    if (!m_created) return FALSE;
    m_created = false;
    StopSpinner();
    ReleaseOwner();
    std::vector<CBusyDialog*>& stack = BusyStack();
    const bool wasCurrent = !stack.empty() && stack.back() == this;
    stack.erase(std::remove(stack.begin(), stack.end(), this), stack.end());
    if (wasCurrent && !stack.empty()) stack.back()->show();
    if (stack.empty()) SetKernelPulse(nullptr);
    return CDialog::DestroyWindow();
}

void CBusyDialog::SetMessage(const QString& text) { m_message->setText(text); }

QString CBusyDialog::Message() const { return m_message->text(); }
QString CBusyDialog::PercentText() const { return m_percent->text(); }
bool CBusyDialog::IsCancelShown() const { return !m_cancel->isHidden(); }

void CBusyDialog::SetPos(int pos) {
    m_progress->setValue(std::clamp(pos, m_nLower, m_nUpper));
    int percent = (pos - m_nLower) * 100 / (m_nUpper - m_nLower);
    if (percent != 100) percent %= 100;
    const QString text = QStringLiteral("%1%").arg(percent);
    if (m_percent->text() != text) m_percent->setText(text);
}

void CBusyDialog::PumpMessages() {
    SystemKeyFilter filter;
    qApp->installEventFilter(&filter);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    qApp->removeEventFilter(&filter);
}

bool CBusyDialog::CheckCancel() {
    const bool cancel = m_bCancel;
    m_bCancel = false;
    return cancel;
}

CBusyDialog* CBusyDialog::Current() { return BusyStack().empty() ? nullptr : BusyStack().back(); }

int CBusyDialog::Count() { return static_cast<int>(BusyStack().size()); }

void CBusyDialog::KeepTurning() {
    if (!gFramePending.load(std::memory_order_relaxed) || !OnInterfaceThread()) return;
    gFramePending = false;
    if (CBusyDialog* busy = Current()) busy->m_spinner->ShowPendingFrame();
}
