#include "platform/qt/qt_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QCloseEvent>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaObject>
#include <QMouseEvent>
#include <QMovie>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "app/config.h"
#include "app/state.h"
#include "platform/platform.h"
#include "icons.h"
#include "resources.h"

namespace zembrik::qt {
namespace {

QString to_qstring(const Text& text) {
  return QString::fromStdU16String(to_wide(text));
}
QString to_qstring(std::string_view utf8) {
  return to_qstring(gbk(utf8));
}

QColor colour_of(std::uint32_t colour) {
  if (colour == kButtonFace) return QApplication::palette().color(QPalette::Button);
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

QPixmap pixmap_of(const Bytes& bytes) {
  QPixmap pixmap;
  if (!bytes.empty()) pixmap.loadFromData(bytes.data(), static_cast<uint>(bytes.size()));
  return pixmap;
}

QPixmap resource_pixmap(std::string_view name) {
  if (name.empty()) return {};
  const Bytes* bytes = resources::find(name);
  return bytes ? pixmap_of(*bytes) : QPixmap();
}

// The colour of a single-line border: the window-frame colour.
QColor frame_colour() {
  return QApplication::palette().color(QPalette::Shadow);
}

Qt::Alignment alignment_of(Align align) {
  switch (align) {
  case Align::left:
    return Qt::AlignLeft;
  case Align::centre:
    return Qt::AlignHCenter;
  case Align::right:
    return Qt::AlignRight;
  }
  return Qt::AlignLeft;
}

// The code a key event hands to the handler: 13 for Enter, the character or virtual key code
// otherwise.
int key_code_of(const QKeyEvent& event) {
  switch (event.key()) {
  case Qt::Key_Return:
  case Qt::Key_Enter:
    return 13;
  case Qt::Key_Escape:
    return 27;
  case Qt::Key_Tab:
    return 9;
  case Qt::Key_Backspace:
    return 8;
  case Qt::Key_Space:
    return 32;
  default:
    break;
  }
  if (event.key() >= Qt::Key_0 && event.key() <= Qt::Key_Z) return event.key();
  if (event.nativeVirtualKey() != 0) return static_cast<int>(event.nativeVirtualKey());
  return event.key() & 0xFFFF;
}

int modifiers_of(Qt::KeyboardModifiers modifiers) {
  int state = 0;
  if (modifiers & Qt::ShiftModifier) state |= 1;
  if (modifiers & Qt::ControlModifier) state |= 2;
  if (modifiers & Qt::AltModifier) state |= 4;
  return state;
}

// A label drawn as the window draws it: ground, picture at the top-left, one line of plain text
// vertically centred, then the border.
class LabelWidget : public QWidget {
public:
  explicit LabelWidget(const ControlRecord& record)
      : record_(record), picture_(resource_pixmap(record.settings.picture)) {}
  void set_caption(QString caption) {
    caption_ = std::move(caption);
    update();
  }

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), colour_of(record_.settings.ground));
    if (!picture_.isNull()) p.drawPixmap(0, 0, picture_);
    p.setPen(colour_of(record_.settings.text_colour));
    p.drawText(rect(),
               static_cast<int>(alignment_of(record_.settings.align) | Qt::AlignVCenter |
                                Qt::TextSingleLine),
               caption_);
    if (record_.settings.border) {
      p.setPen(frame_colour());
      p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
  }

private:
  const ControlRecord& record_;
  QPixmap picture_;
  QString caption_;
};

class HyperlinkWidget : public QWidget {
public:
  explicit HyperlinkWidget(const ControlRecord& record) : record_(record) {
    QFont f(QString::fromUtf8(record.settings.font.face.data(),
                              static_cast<qsizetype>(record.settings.font.face.size())));
    f.setPixelSize(record.settings.font.height);
    f.setWeight(record.settings.font.weight >= 700 ? QFont::Bold : QFont::Normal);
    f.setUnderline(record.settings.font.underline);
    f.setItalic(record.settings.font.italic);
    setFont(f);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
  }
  void set_caption(QString caption) {
    caption_ = std::move(caption);
    update();
  }

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), colour_of(record_.settings.ground));
    const std::uint32_t colour = hover_     ? record_.settings.hover_colour
                                 : visited_ ? record_.settings.visited_colour
                                            : record_.settings.text_colour;
    p.setPen(colour_of(colour));
    p.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, caption_);
  }
  void enterEvent(QEnterEvent*) override {
    hover_ = true;
    update();
  }
  void leaveEvent(QEvent*) override {
    hover_ = false;
    update();
  }
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton || !record_.settings.opens_maker_page) return;
    if (Desktop* desktop = platform().desktop;
        desktop && desktop->open_address(gbk(config::maker_page()))) {
      visited_ = true;
      update();
    }
  }

private:
  const ControlRecord& record_;
  QString caption_;
  bool hover_ = false;
  bool visited_ = false;
};

// Shows its picture at the top-left corner; a GIF of several frames plays as an animation.
// Bytes that are not a picture show nothing.
class PictureWidget : public QWidget {
public:
  PictureWidget(QtWindow& window, const ControlRecord& record) : window_(window), record_(record) {}
  void set_picture(const Bytes& bytes) {
    movie_.reset();
    buffer_.reset();
    pixmap_ = pixmap_of(bytes);
    if (!pixmap_.isNull() && bytes.size() > 6 && std::memcmp(bytes.data(), "GIF", 3) == 0) {
      auto buffer = std::make_unique<QBuffer>();
      buffer->setData(QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                 static_cast<qsizetype>(bytes.size())));
      auto movie = std::make_unique<QMovie>(buffer.get(), QByteArray("gif"));
      if (movie->isValid() && movie->frameCount() > 1) {
        QObject::connect(movie.get(), &QMovie::frameChanged, this, [this] { update(); });
        movie->start();
        buffer_ = std::move(buffer);
        movie_ = std::move(movie);
      }
    }
    if (isVisible()) repaint();
  }
  // The frame shown now, for tests: -1 for a still picture.
  [[nodiscard]] int frame() const { return movie_ ? movie_->currentFrameNumber() : -1; }

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), colour_of(record_.settings.ground));
    const QPixmap shown = movie_ ? movie_->currentPixmap() : pixmap_;
    if (!shown.isNull()) p.drawPixmap(0, 0, shown);
    if (record_.settings.border) {
      p.setPen(frame_colour());
      p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
  }
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) return;
    const QPoint at = event->position().toPoint();
    window_.dispatch(&record_, Event::left_button_pressed,
                     {.x = at.x(), .y = at.y(), .modifiers = modifiers_of(event->modifiers())});
  }

private:
  QtWindow& window_;
  const ControlRecord& record_;
  QPixmap pixmap_;
  std::unique_ptr<QBuffer> buffer_; // the movie reads from it, so it goes after the movie
  std::unique_ptr<QMovie> movie_;
};

// Its top-left pixel's colour is transparent.
QPixmap with_transparent_corner(QPixmap pixmap) {
  if (pixmap.isNull()) return pixmap;
  const QImage image = pixmap.toImage();
  const QColor corner = image.pixelColor(0, 0);
  if (corner.alpha() == 0) return pixmap;
  pixmap.setMask(pixmap.createMaskFromColor(corner, Qt::MaskInColor));
  return pixmap;
}

class ImageButton : public QAbstractButton {
public:
  ImageButton(QtWindow& window, const ControlRecord& record)
      : window_(window), record_(record),
        normal_(with_transparent_corner(resource_pixmap(record.settings.picture))),
        hover_(with_transparent_corner(resource_pixmap(record.settings.hover_picture))) {
    setAttribute(Qt::WA_Hover);
    connect(this, &QAbstractButton::clicked, this, [this] {
      play(record_.settings.sound_click);
      window_.dispatch(&record_, Event::clicked, {});
    });
  }

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const bool flat = record_.settings.button_style == ButtonStyle::flat;
    p.fillRect(rect(), flat ? colour_of(kButtonFace) : QColor(Qt::white));
    const QPixmap& picture = pointer_over_ && !hover_.isNull() ? hover_ : normal_;
    if (!picture.isNull()) {
      const int dx = isDown() ? 1 : 0;
      p.drawPixmap((width() - picture.width()) / 2 + dx, (height() - picture.height()) / 2 + dx,
                   picture);
    }
    if (!flat || pointer_over_ || isDown()) {
      p.setPen(isDown() ? frame_colour() : palette().color(QPalette::Mid));
      p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
  }
  void enterEvent(QEnterEvent* event) override {
    pointer_over_ = true;
    play(record_.settings.sound_over);
    QAbstractButton::enterEvent(event);
    update();
  }
  void leaveEvent(QEvent* event) override {
    pointer_over_ = false;
    QAbstractButton::leaveEvent(event);
    update();
  }

private:
  static void play(std::string_view sound) {
    if (sound.empty()) return;
    const Bytes* wav = resources::find(sound);
    if (Desktop* desktop = platform().desktop; wav && desktop) desktop->play_sound(*wav);
  }

  QtWindow& window_;
  const ControlRecord& record_;
  QPixmap normal_;
  QPixmap hover_;
  bool pointer_over_ = false;
};

// A group box drawn as the window draws it: white ground, a one-pixel grey frame whose top
// line runs through the middle of the caption, the caption on a gap in that line.
class GroupWidget : public QGroupBox {
public:
  GroupWidget(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const QFontMetrics metrics(font());
    const int line = metrics.height() / 2;
    p.setPen(QColor(0xA0, 0xA0, 0xA0));
    p.drawRect(QRect(0, line, width() - 1, height() - line - 1));
    if (title().isEmpty()) return;
    const int text_width = metrics.horizontalAdvance(title());
    int x = 8;
    if (alignment() & Qt::AlignHCenter) x = (width() - text_width) / 2;
    if (alignment() & Qt::AlignRight) x = width() - 8 - text_width;
    const QRect caption(x - 2, 0, text_width + 4, metrics.height());
    p.fillRect(caption, Qt::white);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(caption, static_cast<int>(Qt::AlignCenter | Qt::TextSingleLine), title());
  }
};

// Hands the key presses of an edit box to its handlers before the box itself sees them.
class KeyFilter : public QObject {
public:
  KeyFilter(QtWindow& window, const ControlRecord& record, QObject* parent)
      : QObject(parent), window_(window), record_(record) {}

protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const auto& key = static_cast<const QKeyEvent&>(*event);
      window_.dispatch(&record_, Event::key_pressed,
                       {.key_code = key_code_of(key), .modifiers = modifiers_of(key.modifiers())});
    }
    return false;
  }

private:
  QtWindow& window_;
  const ControlRecord& record_;
};

} // namespace

class MainWidget : public QWidget {
public:
  explicit MainWidget(QtWindow& window) : window_(window) {}

protected:
  void closeEvent(QCloseEvent* event) override {
    window_.closing();
    event->accept();
  }
  bool event(QEvent* event) override {
    if (event->type() == QEvent::WindowActivate) window_.activated();
    // The window manager's frame becomes known some time after the window is shown.
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
        event->type() == QEvent::WindowActivate) {
      window_.fit_frame();
    }
    return QWidget::event(event);
  }
  // Esc closes the window, wherever the focus is: the controls leave the key to their parent.
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
      close();
      return;
    }
    QWidget::keyPressEvent(event);
  }

private:
  QtWindow& window_;
};

struct QtWindow::Control {
  const ControlRecord* record = nullptr;
  QWidget* widget = nullptr;
  Text text; // captions, and the content of read-only boxes exactly as set
  std::uint32_t colour = kBlack;
  Bytes picture;
};

namespace {

// The main window's client area when the system tells no frame size before it is shown: the
// outer size less a fixed frame and title bar.
constexpr int kFrameSide = 3;
constexpr int kFrameTop = 28;

void style_edit(QWidget* box, const ControlRecord& record, std::uint32_t colour) {
  const QColor c = colour_of(colour);
  const QString border =
      record.settings.border ? QStringLiteral("1px solid %1").arg(frame_colour().name()) : "none";
  const QString type = record.settings.multiline ? "QTextEdit" : "QLineEdit";
  box->setStyleSheet(QStringLiteral("%1 { border: %2; padding: 0px; margin: 0px; color: %3; "
                                    "background: %4; }")
                         .arg(type, border, c.name(), colour_of(record.settings.ground).name()));
}

void style_group(QGroupBox* group, std::uint32_t colour) {
  QPalette p = group->palette();
  p.setColor(QPalette::WindowText, colour_of(colour));
  group->setPalette(p);
}

void show_multiline(QTextEdit* box, const QString& text, Qt::Alignment align) {
  box->setPlainText(text);
  QTextCursor cursor(box->document());
  cursor.select(QTextCursor::Document);
  QTextBlockFormat format;
  format.setAlignment(align);
  cursor.mergeBlockFormat(format);
}

// Line breaks of the program's texts are CR LF; Qt's plain text breaks at LF alone.
QString for_display(const Text& text) {
  QString s = to_qstring(text);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return s;
}

} // namespace

QIcon program_icon() {
  QIcon icon;
  for (const Bytes* png : {&icons::zembrik_16(), &icons::zembrik_20(), &icons::zembrik_24(),
                           &icons::zembrik_32(), &icons::zembrik_40(), &icons::zembrik_48(),
                           &icons::zembrik_64(), &icons::zembrik_96(), &icons::zembrik_128(),
                           &icons::zembrik_256()}) {
    icon.addPixmap(pixmap_of(*png));
  }
  return icon;
}

std::uint32_t qt_rgb(std::uint32_t colour) {
  return colour_of(colour).rgb() & 0xFFFFFFu;
}

QtWindow::QtWindow() : ui_thread_(std::this_thread::get_id()) {
  // The program ends when its main window closes, not when a message box closes while the
  // main window is hidden.
  QApplication::setQuitOnLastWindowClosed(false);
  const auto description = window_description();
  const ControlRecord& window_record = description.front();
  main_ = new MainWidget(*this);
  main_->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  main_->setWindowTitle(to_qstring(window_record.settings.text));
  main_->setWindowIcon(program_icon());
  QPalette ground = main_->palette();
  ground.setColor(QPalette::Window, Qt::white);
  main_->setPalette(ground);
  main_->setAutoFillBackground(true);
  // The system's GUI font, at the 12-pixel height the layout was measured for.
  QFont gui_font = QApplication::font();
  gui_font.setPixelSize(12);
  main_->setFont(gui_font);
  main_->setFixedSize(window_record.width - 2 * kFrameSide,
                      window_record.height - kFrameTop - kFrameSide);

  for (const ControlRecord& record : description.subspan(1)) {
    auto c = std::make_unique<Control>();
    c->record = &record;
    c->colour = record.settings.text_colour;
    const Settings& s = record.settings;
    const Text text = gbk(s.text);
    switch (record.kind) {
    case ControlKind::group_box: {
      auto* g = new GroupWidget(to_qstring(text), main_);
      g->setAlignment(alignment_of(s.align));
      g->setPalette(ground);
      g->setAutoFillBackground(true);
      style_group(g, c->colour);
      c->widget = g;
      c->text = text;
      break;
    }
    case ControlKind::label: {
      auto* l = new LabelWidget(record);
      l->setParent(main_);
      l->set_caption(to_qstring(text));
      c->widget = l;
      c->text = text;
      break;
    }
    case ControlKind::hyperlink_label: {
      auto* l = new HyperlinkWidget(record);
      l->setParent(main_);
      l->set_caption(to_qstring(text));
      c->widget = l;
      c->text = text;
      break;
    }
    case ControlKind::edit_box: {
      if (s.multiline) {
        auto* e = new QTextEdit(main_);
        e->setAcceptRichText(false);
        e->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        e->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        e->setFrameStyle(QFrame::NoFrame);
        e->document()->setDocumentMargin(1);
        e->setReadOnly(s.read_only);
        if (s.read_only) {
          e->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        }
        show_multiline(e, for_display(text), alignment_of(s.align));
        c->widget = e;
      } else {
        auto* e = new QLineEdit(to_qstring(text), main_);
        e->setFrame(false);
        e->setAlignment(alignment_of(s.align) | Qt::AlignVCenter);
        e->setReadOnly(s.read_only);
        c->widget = e;
      }
      style_edit(c->widget, record, c->colour);
      c->text = text;
      if (!record.events.empty()) {
        c->widget->installEventFilter(new KeyFilter(*this, record, c->widget));
      }
      break;
    }
    case ControlKind::picture_box: {
      auto* p = new PictureWidget(*this, record);
      p->setParent(main_);
      if (const Bytes* initial = resources::find(s.picture); initial && !s.picture.empty()) {
        c->picture = *initial;
      }
      p->set_picture(c->picture);
      c->widget = p;
      break;
    }
    case ControlKind::image_button: {
      auto* b = new ImageButton(*this, record);
      b->setParent(main_);
      c->widget = b;
      break;
    }
    case ControlKind::window:
      break;
    }
    if (c->widget == nullptr) continue;
    // Only the Tab stops take the focus from the keyboard; other boxes take it by a click, so
    // that their text can be selected and copied.
    if (record.tab_stop) {
      c->widget->setFocusPolicy(Qt::StrongFocus);
    } else if (record.kind == ControlKind::edit_box) {
      c->widget->setFocusPolicy(Qt::ClickFocus);
    } else {
      c->widget->setFocusPolicy(Qt::NoFocus);
    }
    c->widget->setEnabled(!record.disabled);
    controls_.emplace(std::string(record.name), std::move(c));
  }

  QWidget* previous_stop = nullptr;
  for (const ControlRecord& record : description.subspan(1)) {
    Control* c = find(record.name);
    QWidget* parent = record.parent.empty() ? main_ : find(record.parent)->widget;
    c->widget->setParent(parent);
    c->widget->setGeometry(record.x, record.y, record.width, record.height);
    c->widget->setVisible(record.visible);
    if (record.tab_stop) {
      if (previous_stop) QWidget::setTabOrder(previous_stop, c->widget);
      previous_stop = c->widget;
    }
  }
  // Of two siblings the first in the description lies above.
  for (auto it = description.rbegin(); it != description.rend() - 1; ++it) {
    find(it->name)->widget->raise();
  }
}

QtWindow::~QtWindow() {
  destroyed_ = true;
  delete main_;
}

void QtWindow::show() {
  if (destroyed_) return;
  main_->move(centred_position());
  main_->show();
  QApplication::processEvents();
  fit_frame();
}

QPoint QtWindow::centred_position() const {
  const ControlRecord& record = window_description().front();
  const QRect screen = main_->screen()->geometry();
  return {screen.x() + (screen.width() - record.width) / 2,
          screen.y() + (screen.height() - record.height) / 2};
}

void QtWindow::fit_frame() {
  if (frame_fitted_ || destroyed_ || !main_->isVisible()) return;
  // Once the system has framed the window, the outer size is made the described one, and the
  // window centred by that size.
  const QRect frame = main_->frameGeometry();
  const int side = frame.width() - main_->width();
  const int top_bottom = frame.height() - main_->height();
  if (side <= 0 && top_bottom <= 0) return;
  frame_fitted_ = true;
  const ControlRecord& record = window_description().front();
  main_->setFixedSize(record.width - side, record.height - top_bottom);
  main_->move(centred_position());
}

QtWindow::Control* QtWindow::find(ControlName name) const {
  if (destroyed_) return nullptr;
  const auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : it->second.get();
}

QWidget* QtWindow::widget(ControlName control) const {
  if (destroyed_) return nullptr;
  if (control.empty()) return main_;
  const Control* c = find(control);
  return c ? c->widget : nullptr;
}

Text QtWindow::read_text(ControlName control) {
  const Control* c = find(control);
  if (c == nullptr) return {};
  switch (c->record->kind) {
  case ControlKind::edit_box:
    if (c->record->settings.read_only) return c->text;
    if (auto* e = dynamic_cast<QLineEdit*>(c->widget)) return from_wide(e->text().toStdU16String());
    if (auto* t = dynamic_cast<QTextEdit*>(c->widget)) {
      QString s = t->toPlainText();
      s.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
      return from_wide(s.toStdU16String());
    }
    return {};
  case ControlKind::label:
  case ControlKind::group_box:
  case ControlKind::hyperlink_label:
    return c->text;
  default:
    return {};
  }
}

void QtWindow::set_text(ControlName control, const Text& text) {
  Control* c = find(control);
  if (c == nullptr) return;
  switch (c->record->kind) {
  case ControlKind::edit_box:
    if (auto* e = dynamic_cast<QLineEdit*>(c->widget)) {
      e->setText(to_qstring(text));
      e->setCursorPosition(0);
    } else if (auto* t = dynamic_cast<QTextEdit*>(c->widget)) {
      show_multiline(t, for_display(text), alignment_of(c->record->settings.align));
    }
    break;
  case ControlKind::label:
    static_cast<LabelWidget*>(c->widget)->set_caption(to_qstring(text));
    break;
  case ControlKind::hyperlink_label:
    static_cast<HyperlinkWidget*>(c->widget)->set_caption(to_qstring(text));
    break;
  case ControlKind::group_box:
    static_cast<QGroupBox*>(c->widget)->setTitle(to_qstring(text));
    break;
  default:
    return;
  }
  c->text = text;
  if (c->widget->isVisible()) c->widget->repaint();
}

void QtWindow::set_text_colour(ControlName control, std::uint32_t colour) {
  Control* c = find(control);
  if (c == nullptr) return;
  if (c->record->kind == ControlKind::edit_box) {
    c->colour = colour;
    style_edit(c->widget, *c->record, colour);
  } else if (c->record->kind == ControlKind::group_box) {
    c->colour = colour;
    style_group(static_cast<QGroupBox*>(c->widget), colour);
  }
}

void QtWindow::set_picture(ControlName control, const Bytes& picture) {
  Control* c = find(control);
  if (c == nullptr || c->record->kind != ControlKind::picture_box) return;
  c->picture = picture;
  static_cast<PictureWidget*>(c->widget)->set_picture(picture);
}

int QtWindow::picture_frame(ControlName control) const {
  const Control* c = find(control);
  return c && c->record->kind == ControlKind::picture_box
             ? static_cast<const PictureWidget*>(c->widget)->frame()
             : -1;
}

Bytes QtWindow::read_picture(ControlName control) {
  const Control* c = find(control);
  return c && c->record->kind == ControlKind::picture_box ? c->picture : Bytes();
}

void QtWindow::set_disabled(ControlName control, bool disabled) {
  if (Control* c = find(control); c && c->record->kind == ControlKind::edit_box) {
    c->widget->setEnabled(!disabled);
  }
}

void QtWindow::process_pending_events() {
  if (std::this_thread::get_id() != ui_thread_) return;
  handle_cross_thread_requests();
  if (!destroyed_) QCoreApplication::processEvents();
}

void QtWindow::set_visible(bool visible) {
  if (std::this_thread::get_id() == ui_thread_) {
    if (!destroyed_) main_->setVisible(visible);
    return;
  }
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [this, alive = std::weak_ptr<const bool>(alive_), visible] {
        if (alive.lock() && !destroyed_) main_->setVisible(visible);
      },
      Qt::QueuedConnection);
}

void QtWindow::end_program(int exit_code) {
  if (std::this_thread::get_id() == ui_thread_) {
    end_now(exit_code);
    return;
  }
  std::unique_lock lock(mutex_);
  if (ended_) return;
  end_request_ = exit_code;
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [this, alive = std::weak_ptr<const bool>(alive_)] {
        if (alive.lock()) handle_cross_thread_requests();
      },
      Qt::QueuedConnection);
  request_done_.wait(lock, [this] { return ended_; });
}

void QtWindow::handle_cross_thread_requests() {
  std::optional<int> request;
  {
    const std::lock_guard lock(mutex_);
    request = end_request_;
    end_request_.reset();
  }
  if (request) end_now(*request);
}

void QtWindow::end_now(int exit_code) {
  if (ending_) return;
  // No handler runs once the clean-up has started: the window goes without its close prompt.
  ending_ = true;
  destroyed_ = true;
  exit_clean_up();
  {
    const std::lock_guard lock(mutex_);
    ended_ = true;
  }
  request_done_.notify_all();
  if (on_end_program) {
    on_end_program(exit_code);
    return;
  }
  std::fflush(nullptr);
  std::_Exit(exit_code);
}

void QtWindow::dispatch(const ControlRecord* record, Event event, const EventArgs& args) {
  if (destroyed_ || ending_) return;
  for (const EventBinding& binding : record->events) {
    if (binding.event == event) binding.handler(args);
  }
}

void QtWindow::activated() {
  if (activated_ || destroyed_) return;
  activated_ = true;
  dispatch(&window_description().front(), Event::first_activated, {});
}

void QtWindow::closing() {
  if (closing_ || destroyed_) return;
  closing_ = true;
  // The window is gone from the screen by the time it is destroyed and its prompt appears.
  main_->hide();
  dispatch(&window_description().front(), Event::will_be_destroyed, {});
  destroyed_ = true;
  QCoreApplication::exit(0);
}

} // namespace zembrik::qt
