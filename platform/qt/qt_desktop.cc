#include "platform/qt/qt_desktop.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QMetaObject>
#include <QPushButton>
#include <QString>
#include <QThread>
#include <QUrl>
#include <future>
#include <memory>
#include <thread>

namespace zembrik::qt {
namespace {

QString to_qstring(const Text& text) {
  return QString::fromStdU16String(to_wide(text));
}

bool on_gui_thread() {
  return QCoreApplication::instance() != nullptr &&
         QThread::currentThread() == QCoreApplication::instance()->thread();
}

QMessageBox* new_box(const Text& text, const Text& title, int style) {
  const bool with_cancel = style == kStyleInformationOkCancel;
  auto* box = new QMessageBox(QMessageBox::Information, to_qstring(title), to_qstring(text),
                              with_cancel ? QMessageBox::Ok | QMessageBox::Cancel
                                          : QMessageBox::Ok);
  box->setTextFormat(Qt::PlainText);
  // The buttons the texts speak of, whatever the language of the desktop.
  box->button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
  if (with_cancel) box->button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
  // Esc and the title-bar button answer Cancel on a box that has one, OK otherwise.
  box->setEscapeButton(with_cancel ? QMessageBox::Cancel : QMessageBox::Ok);
  box->setDefaultButton(QMessageBox::Ok);
  return box;
}

int answer_of(int button, int style) {
  return style == kStyleInformationOkCancel && button != QMessageBox::Ok ? kResultCancel
                                                                          : kResultOk;
}

} // namespace

int QtDesktop::message_box(const Text& text, const Text& title, int style) {
  if (on_gui_thread()) {
    if (message_box_hook) return message_box_hook(text, title, style);
    // Modal for the whole GUI thread: the main window takes no input until it is answered.
    const std::unique_ptr<QMessageBox> box(new_box(text, title, style));
    box->setWindowModality(Qt::ApplicationModal);
    return answer_of(box->exec(), style);
  }
  // Another thread's box is modal for that thread only: the GUI thread shows it and carries
  // on (a running query goes on running) while this thread waits for the answer.
  auto answer = std::make_shared<std::promise<int>>();
  std::future<int> result = answer->get_future();
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [this, answer, text, title, style] {
        if (message_box_hook) {
          answer->set_value(message_box_hook(text, title, style));
          return;
        }
        QMessageBox* box = new_box(text, title, style);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::NonModal);
        QObject::connect(box, &QMessageBox::finished, box,
                         [answer, style](int button) { answer->set_value(answer_of(button, style)); });
        box->show();
      },
      Qt::QueuedConnection);
  return result.get();
}

bool QtDesktop::open_address(const Text& address) {
  if (!on_gui_thread()) {
    bool opened = false;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&] { opened = open_address(address); },
        Qt::BlockingQueuedConnection);
    return opened;
  }
  if (open_address_hook) return open_address_hook(address);
  const QUrl url(to_qstring(address), QUrl::TolerantMode);
  return url.isValid() && QDesktopServices::openUrl(url);
}

void QtDesktop::play_sound(const Bytes& wav) {
  if (play_sound_hook) {
    play_sound_hook(wav);
    return;
  }
  sounds_.play(wav);
}

void QtDesktop::start_thread(std::function<void()> body) {
  if (start_thread_hook) {
    start_thread_hook(std::move(body));
    return;
  }
  std::thread(std::move(body)).detach();
}

} // namespace zembrik::qt
