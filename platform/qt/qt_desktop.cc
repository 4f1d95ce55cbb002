#include "platform/qt/qt_desktop.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QString>
#include <QUrl>
#include <thread>

namespace zembrik::qt {
namespace {

QString to_qstring(const Text& text) {
  return QString::fromStdU16String(to_wide(text));
}

} // namespace

int QtDesktop::message_box(const Text& text, const Text& title, int style) {
  if (message_box_hook) return message_box_hook(text, title, style);
  const bool with_cancel = style == kStyleInformationOkCancel;
  QMessageBox box(QMessageBox::Information, to_qstring(title), to_qstring(text),
                  with_cancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  box.setWindowModality(Qt::ApplicationModal);
  // Esc and the title-bar button answer Cancel on a box that has one, OK otherwise.
  box.setEscapeButton(with_cancel ? QMessageBox::Cancel : QMessageBox::Ok);
  box.setDefaultButton(QMessageBox::Ok);
  const int answer = box.exec();
  return with_cancel && answer != QMessageBox::Ok ? kResultCancel : kResultOk;
}

bool QtDesktop::open_address(const Text& address) {
  if (open_address_hook) return open_address_hook(address);
  const QUrl url(to_qstring(address), QUrl::TolerantMode);
  return url.isValid() && QDesktopServices::openUrl(url);
}

void QtDesktop::play_sound(const Bytes&) {}

void QtDesktop::start_thread(std::function<void()> body) {
  if (start_thread_hook) {
    start_thread_hook(std::move(body));
    return;
  }
  std::thread(std::move(body)).detach();
}

} // namespace zembrik::qt
