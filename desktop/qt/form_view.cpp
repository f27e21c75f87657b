#include "desktop/qt/form_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <QWindowStateChangeEvent>

#include <algorithm>
#include <cmath>
#include <optional>

#include "desktop/qt/resources.h"
#include "desktop/qt/text_mapping.h"

namespace vask {

struct FormView::Binding {
    Control* control = nullptr;
    QWidget* widget = nullptr;     // the widget placed at the control's geometry
    QWidget* container = nullptr;  // where the control's children are placed
    int pushing = 0;               // >0 while the widget's edit is given to the control
    bool unbuilt = false;          // a tab page whose controls have no widgets yet
    std::vector<QLabel*> panels;   // a status bar's panels
};

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

int pixels(int twips) { return int(std::lround(double(twips) / kTwipsPerPixel)); }

QRect pixel_rect(const Geometry& g) {
    return QRect(pixels(g.left), pixels(g.top), std::max(pixels(g.width), 0), std::max(pixels(g.height), 0));
}

QFont qt_font(const Font& font) {
    QFont f(qs(font.name));
    f.setPointSizeF(font.size > 0 ? font.size : 7.8);
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    return f;
}

// A colour as the controls hold it: 0x00BBGGRR, or 0x800000nn for the
// desktop's colour number nn, or kDefaultColor for the control's own.
std::optional<QColor> qt_color(int color) {
    if (color == kDefaultColor) return std::nullopt;
    auto bits = static_cast<std::uint32_t>(color);
    if (bits & 0x80000000u) {
        const QPalette& p = QApplication::palette();
        switch (bits & 0xFFu) {
            case 0: case 10: case 11: case 15: return p.color(QPalette::Button);
            case 1: case 4: return p.color(QPalette::Window);
            case 2: case 13: return p.color(QPalette::Highlight);
            case 3: return p.color(QPalette::Mid);
            case 5: return p.color(QPalette::Base);
            case 6: case 21: return p.color(QPalette::Shadow);
            case 7: case 19: return p.color(QPalette::WindowText);
            case 8: return p.color(QPalette::Text);
            case 9: case 14: return p.color(QPalette::HighlightedText);
            case 12: case 16: return p.color(QPalette::Dark);
            case 17: return p.color(QPalette::Disabled, QPalette::Text);
            case 18: return p.color(QPalette::ButtonText);
            case 20: return p.color(QPalette::Light);
            case 22: return p.color(QPalette::Midlight);
            case 23: return p.color(QPalette::ToolTipText);
            case 24: return p.color(QPalette::ToolTipBase);
            default: return std::nullopt;
        }
    }
    return QColor(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}

Qt::Alignment panel_alignment(StatusBar::Panel::Align align) {
    switch (align) {
        case StatusBar::Panel::Align::Left: return Qt::AlignLeft | Qt::AlignVCenter;
        case StatusBar::Panel::Align::Center: return Qt::AlignHCenter | Qt::AlignVCenter;
        case StatusBar::Panel::Align::Right: return Qt::AlignRight | Qt::AlignVCenter;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

bool under_menu(const Control& control) {
    for (const Control* c = &control; c; c = c->parent())
        if (c->kind() == ControlKind::Menu || c->kind() == ControlKind::MenuItem) return true;
    return false;
}

bool drawn(const Control& control) {
    return control.kind() != ControlKind::Timer && !under_menu(control);
}

// The window of the form; its close box asks the form.
class FormWindow : public QWidget {
public:
    explicit FormWindow(FormView& view) : view_(view) {}

protected:
    void closeEvent(QCloseEvent* event) override {
        event->ignore();  // the form decides; unloading hides the window
        view_.close_requested();
    }

private:
    FormView& view_;
};

// Tabs share the width of the tab control, one row.
class EvenTabBar : public QTabBar {
public:
    explicit EvenTabBar(QWidget* parent) : QTabBar(parent) {
        setUsesScrollButtons(false);
        setElideMode(Qt::ElideNone);
        setDrawBase(true);
    }

protected:
    QSize tabSizeHint(int index) const override {
        QSize size = QTabBar::tabSizeHint(index);
        QWidget* owner = parentWidget();
        if (owner && count() > 0) {
            int width = (owner->width() - 4) / count();
            if (width > 0) size.setWidth(width);
        }
        return size;
    }
};

// A check box or option button takes a click anywhere in its rectangle, not
// only on its box and caption.
template <class Base>
class WholeAreaButton : public Base {
public:
    using Base::Base;

protected:
    bool hitButton(const QPoint& pos) const override { return this->rect().contains(pos); }
};
using CheckBoxWidget = WholeAreaButton<QCheckBox>;
using OptionWidget = WholeAreaButton<QRadioButton>;

class TabWidget : public QTabWidget {
public:
    explicit TabWidget(QWidget* parent) : QTabWidget(parent) { setTabBar(new EvenTabBar(this)); }
};

// A tab page. The page's controls are placed relative to the whole tab
// control, tab row included, so they sit on a surface the size of the tab
// control, moved up and left by where the page begins inside it.
class PageSurface : public QWidget {
public:
    PageSurface(QTabWidget* tabs) : QWidget(tabs), tabs_(tabs), surface_(new QWidget(this)) {}
    QWidget* surface() const { return surface_; }

    void align() {
        if (!tabs_->isAncestorOf(this)) return;
        QPoint origin = mapTo(tabs_, QPoint(0, 0));
        surface_->setGeometry(-origin.x(), -origin.y(), tabs_->width(), tabs_->height());
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        align();
    }
    void moveEvent(QMoveEvent* event) override {
        QWidget::moveEvent(event);
        align();
    }
    void showEvent(QShowEvent* event) override {
        QWidget::showEvent(event);
        align();
    }

private:
    QTabWidget* tabs_;
    QWidget* surface_;
};

// Which button of a text key: the character code a key-press handler
// receives (8 Backspace, 13 Enter, 32..126 printable ASCII), kOtherCharacter
// for any other printable character, or kNoCharacter.
constexpr int kNoCharacter = -1;
constexpr int kOtherCharacter = -2;

int key_ascii(const QKeyEvent* event) {
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return kNoCharacter;
    switch (event->key()) {
        case Qt::Key_Backspace: return 8;
        case Qt::Key_Return: case Qt::Key_Enter: return 13;
        case Qt::Key_Escape: case Qt::Key_Tab: case Qt::Key_Backtab: case Qt::Key_Delete: return kNoCharacter;
        default: break;
    }
    QString text = event->text();
    if (text.isEmpty()) return kNoCharacter;
    char16_t first = text.at(0).unicode();
    if (text.size() == 1 && first >= 32 && first < 127) return int(first);
    return text.at(0).isPrint() || text.at(0).isSurrogate() ? kOtherCharacter : kNoCharacter;
}

int shift_state(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

// Replaces only what differs, so the edit keeps its undo history and its
// scroll position where the text around the change stays.
void replace_text(QLineEdit* edit, const QString& wanted) {
    const QString old = edit->text();
    if (edit->isReadOnly() || old.isEmpty()) {
        edit->setText(wanted);
        return;
    }
    qsizetype prefix = 0;
    qsizetype limit = std::min(old.size(), wanted.size());
    while (prefix < limit && old[prefix] == wanted[prefix]) ++prefix;
    qsizetype suffix = 0;
    while (suffix < limit - prefix && old[old.size() - 1 - suffix] == wanted[wanted.size() - 1 - suffix]) ++suffix;
    edit->setSelection(int(prefix), int(old.size() - prefix - suffix));
    edit->insert(wanted.mid(prefix, wanted.size() - prefix - suffix));
    if (edit->text() != wanted) edit->setText(wanted);
}

void replace_text(QPlainTextEdit* edit, const QString& wanted) {
    const QString old = edit->toPlainText();
    if (old.isEmpty() || wanted.isEmpty()) {
        edit->setPlainText(wanted);
        return;
    }
    qsizetype prefix = 0;
    qsizetype limit = std::min(old.size(), wanted.size());
    while (prefix < limit && old[prefix] == wanted[prefix]) ++prefix;
    qsizetype suffix = 0;
    while (suffix < limit - prefix && old[old.size() - 1 - suffix] == wanted[wanted.size() - 1 - suffix]) ++suffix;
    QTextCursor cursor(edit->document());
    cursor.setPosition(int(prefix));
    cursor.setPosition(int(old.size() - suffix), QTextCursor::KeepAnchor);
    cursor.insertText(wanted.mid(prefix, wanted.size() - prefix - suffix));
    if (edit->toPlainText() != wanted) edit->setPlainText(wanted);
}

}  // namespace

FormView::FormView(Form& form, Desktop& desktop) : form_(form), desktop_(desktop) {
    auto* window = new FormWindow(*this);
    window_ = window;
    window_->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    window_->setObjectName(qs(form.name()));
    bind(form, window_);
    bindings_[&form].container = window_;
    ++applying_;
    apply_all(form);
    build_children(form, window_);
    --applying_;
    form_.set_observer([this](Control& control, Property what) { changed(control, what); });
    qApp->installEventFilter(this);
}

FormView::~FormView() {
    qApp->removeEventFilter(this);
    form_.set_observer(nullptr);
    delete window_;
}

QWidget* FormView::widget(const Control& control) {
    for (const Control* c = &control; c; c = c->parent())
        if (c->kind() == ControlKind::TabPage) build_page(const_cast<Control&>(*c));
    auto it = bindings_.find(&control);
    return it == bindings_.end() ? nullptr : it->second.widget;
}

QWidget* FormView::widget(const std::string& name, int index) {
    Control* control = name == form_.name() ? &form_ : form_.find(name, index);
    return control ? widget(*control) : nullptr;
}

Control* FormView::control(const QObject* object) const {
    for (; object; object = object->parent()) {
        auto it = controls_.find(object);
        if (it != controls_.end()) return it->second;
        if (object == window_) return nullptr;
    }
    return nullptr;
}

void FormView::bind(Control& control, QWidget* widget, QWidget* focus_target) {
    Binding& binding = bindings_[&control];
    binding.control = &control;
    binding.widget = widget;
    binding.container = widget;
    QString name = qs(control.name());
    if (control.index() >= 0) name += QString("(%1)").arg(control.index());
    widget->setObjectName(name);
    controls_[widget] = &control;
    if (focus_target) controls_[focus_target] = &control;
}

// ---------------------------------------------------------------- building

void FormView::build_children(Control& control, QWidget* parent) {
    for (Control* child : control.children()) {
        if (!drawn(*child)) continue;
        QWidget* widget = build(*child, parent);
        if (!widget) continue;
        apply_all(*child);
        Binding& binding = bindings_[child];
        if (!binding.unbuilt) build_children(*child, binding.container);
        if (child->kind() == ControlKind::TabControl) apply_value(*child);  // now that its pages are there
    }
}

bool FormView::in_unbuilt_page(const Control& control) const {
    for (const Control* c = control.parent(); c; c = c->parent()) {
        if (c->kind() != ControlKind::TabPage) continue;
        auto it = bindings_.find(c);
        return it != bindings_.end() && it->second.unbuilt;
    }
    return false;
}

void FormView::build_page(Control& page) {
    auto it = bindings_.find(&page);
    if (it == bindings_.end() || !it->second.unbuilt) return;
    it->second.unbuilt = false;
    // The controls are read as they are now: what changed meanwhile is in them.
    ++applying_;
    build_children(page, it->second.container);
    --applying_;
}

void FormView::build_pages_later() {
    // One page per pass of the loop, so input and painting go on in between.
    for (auto& [control, binding] : bindings_) {
        if (!binding.unbuilt) continue;
        Control* page = binding.control;
        QTimer::singleShot(0, this, [this, page] {
            build_page(*page);
            build_pages_later();
        });
        return;
    }
}

Control* FormView::page_at(TabControl& tabs, int index) const {
    int n = 0;
    for (Control* child : tabs.children())
        if (child->kind() == ControlKind::TabPage && n++ == index) return child;
    return nullptr;
}

QWidget* FormView::build(Control& control, QWidget* parent) {
    switch (control.kind()) {
        case ControlKind::Form:
        case ControlKind::Timer:
        case ControlKind::Menu:
        case ControlKind::MenuItem:
            return nullptr;

        case ControlKind::TabControl: {
            auto* tabs = new TabWidget(parent);
            bind(control, tabs);
            auto& model = static_cast<TabControl&>(control);
            connect(tabs, &QTabWidget::currentChanged, this, [this, tabs, &model](int index) {
                if (Control* page = page_at(model, index)) build_page(*page);
                if (applying_) return;
                model.set_tab(index);
                // The tab shows what the control holds, whatever its handler did.
                if (tabs->currentIndex() != model.tab()) {
                    ++applying_;
                    tabs->setCurrentIndex(model.tab());
                    --applying_;
                }
            });
            return tabs;
        }

        case ControlKind::TabPage: {
            auto* tabs = qobject_cast<QTabWidget*>(parent);
            if (!tabs) {
                auto* page = new QWidget(parent);
                bind(control, page);
                return page;
            }
            auto* page = new PageSurface(tabs);
            ++applying_;
            int index = tabs->addTab(page, qs(control.caption()));
            --applying_;
            bind(control, page);
            Binding& binding = bindings_[&control];
            binding.container = page->surface();
            auto* owner = static_cast<TabControl*>(control.parent());
            binding.unbuilt = index != owner->tab();
            page->align();
            return page;
        }

        case ControlKind::Frame: {
            QWidget* frame = static_cast<Frame&>(control).border ? new QGroupBox(parent) : new QWidget(parent);
            bind(control, frame);
            return frame;
        }

        case ControlKind::Label: {
            auto* label = new QLabel(parent);
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
            bind(control, label);
            return label;
        }

        case ControlKind::Image: {
            auto* image = new QLabel(parent);
            image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            bind(control, image);
            return image;
        }

        case ControlKind::Button: {
            auto* button = new QPushButton(parent);
            button->setAutoDefault(true);  // Enter on a focused button presses it
            bind(control, button);
            connect(button, &QPushButton::clicked, this, [&control] { control.click(); });
            return button;
        }

        case ControlKind::CheckBox: {
            auto* box = new CheckBoxWidget(parent);
            bind(control, box);
            auto& model = static_cast<CheckBox&>(control);
            connect(box, &QCheckBox::clicked, this, [this, &model] {
                model.user_click();
                apply_value(model);  // Qt toggled the box already; show the control's value
            });
            return box;
        }

        case ControlKind::OptionButton: {
            auto* option = new OptionWidget(parent);
            option->setAutoExclusive(false);  // the control clears its siblings itself
            bind(control, option);
            auto& model = static_cast<OptionButton&>(control);
            connect(option, &QRadioButton::clicked, this, [this, &model] {
                model.set_value(true);
                apply_value(model);
            });
            return option;
        }

        case ControlKind::TextBox: {
            auto& model = static_cast<TextBox&>(control);
            if (model.multi_line) {
                auto* edit = new QPlainTextEdit(parent);
                edit->setTabChangesFocus(true);
                bind(control, edit, edit->viewport());
                connect(edit, &QPlainTextEdit::textChanged, this, [this, &model] { text_edited(model); });
                connect(edit, &QPlainTextEdit::cursorPositionChanged, this,
                        [this, &model] { selection_moved(model); });
                connect(edit, &QPlainTextEdit::selectionChanged, this, [this, &model] { selection_moved(model); });
                return edit;
            }
            auto* edit = new QLineEdit(parent);
            bind(control, edit);
            connect(edit, &QLineEdit::textEdited, this, [this, &model] { text_edited(model); });
            connect(edit, &QLineEdit::cursorPositionChanged, this, [this, &model] { selection_moved(model); });
            connect(edit, &QLineEdit::selectionChanged, this, [this, &model] { selection_moved(model); });
            return edit;
        }

        case ControlKind::ComboBox: {
            auto& model = static_cast<ComboBox&>(control);
            auto* combo = new QComboBox(parent);
            combo->setEditable(model.style != ComboBox::Style::DropDownList);
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->setMaxVisibleItems(12);
            bind(control, combo, combo->lineEdit());
            // Choosing an entry of the list is a click on the control.
            connect(combo, &QComboBox::activated, this, [this, &model](int index) {
                if (applying_) return;
                model.set_list_index(index);
                apply_value(model);
            });
            if (QLineEdit* edit = combo->lineEdit()) {
                edit->setCompleter(nullptr);  // no completion the control did not ask for
                connect(edit, &QLineEdit::textEdited, this, [this, &model, edit](const QString& text) {
                    if (applying_) return;
                    model.set_text(text.toStdString());
                    if (qs(model.text()) != edit->text()) apply_text(model);
                });
            }
            return combo;
        }

        case ControlKind::ListBox: {
            auto& model = static_cast<ListBox&>(control);
            auto* list = new QListWidget(parent);
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            bind(control, list, list->viewport());
            connect(list, &QListWidget::currentRowChanged, this, [this, &model](int row) {
                if (applying_) return;
                model.set_list_index(row);
                apply_value(model);
            });
            connect(list, &QListWidget::itemDoubleClicked, this, [&model] { model.dbl_click(); });
            return list;
        }

        case ControlKind::StatusBar: {
            auto* bar = new QWidget(parent);
            bind(control, bar);
            return bar;
        }
    }
    return nullptr;
}

FormView::Binding* FormView::ensure(Control& control) {
    auto it = bindings_.find(&control);
    if (it != bindings_.end()) return &it->second;
    if (!drawn(control) || !control.parent() || in_unbuilt_page(control)) return nullptr;
    // A control made after the window was built: it gets its widget now.
    Binding* parent = ensure(*control.parent());
    if (!parent) return nullptr;
    ++applying_;
    QWidget* widget = build(control, parent->container);
    if (widget) {
        apply_all(control);
        build_children(control, bindings_[&control].container);
    }
    --applying_;
    if (!widget) return nullptr;
    return &bindings_[&control];
}

// ---------------------------------------------------------------- model to widgets

void FormView::changed(Control& control, Property what) {
    Binding* binding = ensure(control);
    if (!binding) return;
    ++applying_;
    switch (what) {
        case Property::Caption: apply_caption(control); break;
        case Property::Text: apply_text(control); break;
        case Property::Value: apply_value(control); break;
        case Property::Enabled: apply_enabled(control); break;
        case Property::Visible:
            if (&control == &form_) apply_form_visible();
            else apply_visible(control);
            break;
        case Property::Geometry: apply_geometry(control); break;
        case Property::Font: apply_font(control); break;
        case Property::Colors: apply_colors(control); break;
        case Property::List: apply_list(control); break;
        case Property::ListIndex: apply_value(control); break;
        case Property::Selection: apply_selection(control); break;
        case Property::Tab: apply_value(control); break;
        case Property::Panels:
            if (control.kind() == ControlKind::StatusBar) apply_panels(static_cast<StatusBar&>(control));
            break;
        case Property::Picture:
            if (control.kind() == ControlKind::Image) apply_picture(static_cast<Image&>(control));
            break;
        case Property::Style: apply_style(control); break;
    }
    --applying_;
}

void FormView::apply_all(Control& control) {
    ++applying_;
    QWidget* widget = bindings_[&control].widget;
    if (!control.tool_tip.empty()) widget->setToolTip(qs(control.tool_tip));
    apply_style(control);
    apply_font(control);
    apply_colors(control);
    apply_caption(control);
    apply_list(control);
    apply_text(control);
    apply_value(control);
    if (control.kind() == ControlKind::Image) apply_picture(static_cast<Image&>(control));
    apply_geometry(control);
    if (control.kind() == ControlKind::StatusBar) apply_panels(static_cast<StatusBar&>(control));
    apply_enabled(control);
    if (&control != &form_) apply_visible(control);
    --applying_;
}

void FormView::apply_caption(Control& control) {
    Binding& b = bindings_[&control];
    QString caption = qs(control.caption());
    switch (control.kind()) {
        case ControlKind::Form: b.widget->setWindowTitle(caption); break;
        case ControlKind::TabPage:
            if (auto* tabs = qobject_cast<QTabWidget*>(b.widget->parentWidget()->parentWidget())) {
                int index = tabs->indexOf(b.widget);
                if (index >= 0) tabs->setTabText(index, caption);
            }
            break;
        case ControlKind::Frame:
            if (auto* box = qobject_cast<QGroupBox*>(b.widget)) box->setTitle(caption);
            break;
        case ControlKind::Label: static_cast<QLabel*>(b.widget)->setText(caption); break;
        case ControlKind::Button:
        case ControlKind::CheckBox:
        case ControlKind::OptionButton: static_cast<QAbstractButton*>(b.widget)->setText(caption); break;
        default: break;
    }
}

void FormView::apply_text(Control& control) {
    Binding& b = bindings_[&control];
    ++applying_;
    if (control.kind() == ControlKind::TextBox) {
        auto& box = static_cast<TextBox&>(control);
        QString wanted = widget_text(box.text(), box.multi_line);
        if (auto* edit = qobject_cast<QLineEdit*>(b.widget)) {
            if (edit->text() != wanted) replace_text(edit, wanted);
        } else if (auto* edit = qobject_cast<QPlainTextEdit*>(b.widget)) {
            if (edit->toPlainText() != wanted) replace_text(edit, wanted);
        }
        // While the widget's own edit is handed over, its caret is the truth.
        if (!b.pushing) apply_selection(box);
    } else if (control.kind() == ControlKind::ComboBox) {
        auto& box = static_cast<ComboBox&>(control);
        auto* combo = static_cast<QComboBox*>(b.widget);
        if (combo->isEditable() && combo->lineEdit()->text() != qs(box.text()))
            combo->lineEdit()->setText(qs(box.text()));
    }
    --applying_;
}

void FormView::apply_selection(Control& control) {
    if (control.kind() != ControlKind::TextBox) return;
    Binding& b = bindings_[&control];
    if (b.pushing) return;
    auto& box = static_cast<TextBox&>(control);
    int start = widget_position(box.text(), box.sel_start(), box.multi_line);
    int end = widget_position(box.text(), box.sel_start() + box.sel_length(), box.multi_line);
    ++applying_;
    if (auto* edit = qobject_cast<QLineEdit*>(b.widget)) {
        if (end > start) edit->setSelection(start, end - start);
        else edit->setCursorPosition(start);
    } else if (auto* edit = qobject_cast<QPlainTextEdit*>(b.widget)) {
        QTextCursor cursor = edit->textCursor();
        if (cursor.anchor() != start || cursor.position() != end) {
            cursor.setPosition(start);
            cursor.setPosition(end, QTextCursor::KeepAnchor);
            edit->setTextCursor(cursor);
        }
    }
    --applying_;
}

void FormView::apply_value(Control& control) {
    Binding& b = bindings_[&control];
    ++applying_;
    switch (control.kind()) {
        case ControlKind::CheckBox: {
            auto* box = static_cast<QCheckBox*>(b.widget);
            int value = static_cast<CheckBox&>(control).value();
            box->setTristate(value == 2);
            box->setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
            break;
        }
        case ControlKind::OptionButton:
            static_cast<QRadioButton*>(b.widget)->setChecked(static_cast<OptionButton&>(control).value());
            break;
        case ControlKind::ComboBox: {
            auto* combo = static_cast<QComboBox*>(b.widget);
            combo->setCurrentIndex(static_cast<ComboBox&>(control).list_index());
            apply_text(control);  // the index may have replaced the edit text
            break;
        }
        case ControlKind::ListBox:
            static_cast<QListWidget*>(b.widget)->setCurrentRow(static_cast<ListBox&>(control).list_index());
            break;
        case ControlKind::TabControl: {
            auto* tabs = static_cast<QTabWidget*>(b.widget);
            auto& model = static_cast<TabControl&>(control);
            if (Control* page = page_at(model, model.tab())) build_page(*page);
            if (model.tab() >= 0 && model.tab() < tabs->count()) tabs->setCurrentIndex(model.tab());
            break;
        }
        default: break;
    }
    --applying_;
}

void FormView::apply_list(Control& control) {
    if (control.kind() != ControlKind::ComboBox && control.kind() != ControlKind::ListBox) return;
    Binding& b = bindings_[&control];
    auto& model = static_cast<ListControl&>(control);
    QStringList items;
    items.reserve(model.list_count());
    for (const std::string& item : model.list()) items << qs(item);
    ++applying_;
    if (auto* combo = qobject_cast<QComboBox*>(b.widget)) {
        combo->clear();
        combo->addItems(items);
    } else if (auto* list = qobject_cast<QListWidget*>(b.widget)) {
        list->clear();
        list->addItems(items);
    }
    apply_value(control);
    --applying_;
}

void FormView::apply_geometry(Control& control) {
    Binding& b = bindings_[&control];
    if (&control == &form_) {
        int width = form_.client_width > 0 ? form_.client_width : control.geometry().width;
        int height = form_.client_height > 0 ? form_.client_height : control.geometry().height;
        if (width > 0 && height > 0) window_->setFixedSize(pixels(width), pixels(height));
        window_->move(pixels(form_.left()), pixels(form_.top()));
        return;
    }
    if (control.kind() == ControlKind::TabPage) return;  // the tab control places its pages
    QRect rect = pixel_rect(control.geometry());
    if (control.kind() == ControlKind::Image) {
        auto& image = static_cast<Image&>(control);
        auto* label = static_cast<QLabel*>(b.widget);
        QPixmap picture = label->pixmap();
        // Without stretching, the image takes the size of its picture.
        if (!image.stretch && !picture.isNull()) rect.setSize(picture.deviceIndependentSize().toSize());
    }
    b.widget->setGeometry(rect);
    if (control.kind() == ControlKind::TabControl) {
        for (QObject* child : b.widget->findChildren<QObject*>())
            if (auto* page = dynamic_cast<PageSurface*>(child)) page->align();
    }
    if (control.kind() == ControlKind::StatusBar) apply_panels(static_cast<StatusBar&>(control));
}

void FormView::apply_font(Control& control) {
    QWidget* widget = bindings_[&control].widget;
    if (&control == &form_) {
        widget->setFont(qt_font(form_.effective_font()));
        return;
    }
    if (control.font()) widget->setFont(qt_font(*control.font()));
}

void FormView::apply_colors(Control& control) {
    QWidget* widget = bindings_[&control].widget;
    auto fore = qt_color(control.fore_color());
    auto back = qt_color(control.back_color());
    if (!fore && !back && !widget->testAttribute(Qt::WA_SetPalette)) return;  // nothing of its own
    QPalette palette;  // roles left unset come from the parent
    if (fore) {
        palette.setColor(QPalette::WindowText, *fore);
        palette.setColor(QPalette::Text, *fore);
        palette.setColor(QPalette::ButtonText, *fore);
    }
    if (back) {
        palette.setColor(QPalette::Window, *back);
        palette.setColor(QPalette::Base, *back);
        palette.setColor(QPalette::Button, *back);
    }
    widget->setPalette(palette);
    bool fills = control.kind() == ControlKind::Label || control.kind() == ControlKind::Frame ||
                 control.kind() == ControlKind::CheckBox || control.kind() == ControlKind::OptionButton ||
                 control.kind() == ControlKind::StatusBar || control.kind() == ControlKind::Form;
    if (fills) widget->setAutoFillBackground(back.has_value() || control.kind() == ControlKind::Form);
}

namespace {

// A tab page is shown and enabled through its tab, not its widget.
template <class SetTab>
void apply_to_tab(QWidget* page, SetTab set_tab) {
    auto* tabs = qobject_cast<QTabWidget*>(page->parentWidget()->parentWidget());
    int index = tabs ? tabs->indexOf(page) : -1;
    if (index >= 0) set_tab(*tabs, index);
}

}  // namespace

void FormView::apply_visible(Control& control) {
    Binding& b = bindings_[&control];
    if (control.kind() == ControlKind::TabPage)
        apply_to_tab(b.widget, [&](QTabWidget& tabs, int i) { tabs.setTabVisible(i, control.visible()); });
    else
        b.widget->setVisible(control.visible());
}

void FormView::apply_enabled(Control& control) {
    Binding& b = bindings_[&control];
    if (control.kind() == ControlKind::TabPage)
        apply_to_tab(b.widget, [&](QTabWidget& tabs, int i) { tabs.setTabEnabled(i, control.enabled()); });
    else
        b.widget->setEnabled(control.enabled());
}

void FormView::apply_style(Control& control) {
    Binding& b = bindings_[&control];
    switch (control.kind()) {
        case ControlKind::Form: {
            QPixmap icon = resource_picture(form_.icon);
            window_->setWindowIcon(icon.isNull() ? program_icon() : QIcon(icon));
            break;
        }
        case ControlKind::Button:
            static_cast<QPushButton*>(b.widget)->setDefault(static_cast<Button&>(control).is_default());
            break;
        case ControlKind::Label: {
            auto& label = static_cast<Label&>(control);
            auto* widget = static_cast<QLabel*>(b.widget);
            Qt::Alignment align = label.alignment == Label::Align::Right    ? Qt::AlignRight
                                  : label.alignment == Label::Align::Center ? Qt::AlignHCenter
                                                                            : Qt::AlignLeft;
            widget->setAlignment(align | Qt::AlignTop);
            widget->setFrameStyle(label.border ? QFrame::StyledPanel | QFrame::Sunken : QFrame::NoFrame);
            break;
        }
        case ControlKind::TextBox: {
            auto& box = static_cast<TextBox&>(control);
            b.widget->setFocusPolicy(box.tab_stop ? Qt::StrongFocus : Qt::ClickFocus);
            if (auto* edit = qobject_cast<QLineEdit*>(b.widget)) {
                edit->setReadOnly(box.locked);
                edit->setEchoMode(box.password_char ? QLineEdit::Password : QLineEdit::Normal);
                edit->setAlignment((box.alignment == TextBox::Align::Right    ? Qt::AlignRight
                                    : box.alignment == TextBox::Align::Center ? Qt::AlignHCenter
                                                                              : Qt::AlignLeft) |
                                   Qt::AlignVCenter);
            } else if (auto* edit = qobject_cast<QPlainTextEdit*>(b.widget)) {
                using S = TextBox::ScrollBars;
                bool vertical = box.scroll_bars == S::Vertical || box.scroll_bars == S::Both;
                bool horizontal = box.scroll_bars == S::Horizontal || box.scroll_bars == S::Both;
                edit->setReadOnly(box.locked);
                edit->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
                edit->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
                // Without a horizontal scroll bar, long lines wrap at the box's edge.
                edit->setLineWrapMode(horizontal ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
            }
            break;
        }
        default: break;
    }
}

void FormView::apply_picture(Image& image) {
    auto* label = static_cast<QLabel*>(bindings_[&image].widget);
    QPixmap picture = resource_picture(image.picture());
    label->setScaledContents(image.stretch);
    label->setPixmap(picture);
    apply_geometry(image);
}

void FormView::apply_panels(StatusBar& bar) {
    Binding& b = bindings_[&bar];
    constexpr int kGap = 2;
    while (int(b.panels.size()) < bar.panel_count()) {
        auto* label = new QLabel(b.widget);
        label->setTextFormat(Qt::PlainText);
        label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        label->setIndent(3);
        label->setObjectName(QString("%1.panel%2").arg(b.widget->objectName()).arg(b.panels.size() + 1));
        label->show();
        controls_[label] = &bar;
        b.panels.push_back(label);
    }
    while (int(b.panels.size()) > bar.panel_count()) {
        controls_.erase(b.panels.back());
        delete b.panels.back();
        b.panels.pop_back();
    }
    int total = b.widget->width();
    int fixed = 0;
    bool has_time = false;
    for (int n = 1; n <= bar.panel_count(); ++n) {
        const auto& panel = bar.panel(n);
        if (!panel.spring) fixed += pixels(panel.width);
        fixed += n > 1 ? kGap : 0;
        has_time = has_time || panel.style == StatusBar::Panel::Style::Time;
    }
    int x = 0;
    for (int n = 1; n <= bar.panel_count(); ++n) {
        const auto& panel = bar.panel(n);
        QLabel* label = b.panels[size_t(n - 1)];
        // A spring panel takes what the others leave, never less than its minimum.
        int width = panel.spring ? std::max(pixels(panel.min_width), total - fixed) : pixels(panel.width);
        label->setGeometry(x, 0, width, b.widget->height());
        label->setAlignment(panel_alignment(panel.alignment));
        if (panel.style == StatusBar::Panel::Style::Text) label->setText(qs(panel.text));
        x += width + kGap;
    }
    auto known = std::find(time_bars_.begin(), time_bars_.end(), &bar);
    if (has_time && known == time_bars_.end()) time_bars_.push_back(&bar);
    if (!has_time && known != time_bars_.end()) time_bars_.erase(known);
    if (has_time && !clock_) {
        clock_ = new QTimer(this);
        connect(clock_, &QTimer::timeout, this, &FormView::update_time_panels);
        clock_->start(1000);
    }
    if (has_time) update_time_panels();
}

void FormView::update_time_panels() {
    if (time_bars_.empty()) return;
    QString now = qs(desktop_.time_text(desktop_.now()));
    for (StatusBar* bar : time_bars_) {
        Binding& b = bindings_[bar];
        for (int n = 1; n <= bar->panel_count() && n <= int(b.panels.size()); ++n)
            if (bar->panel(n).style == StatusBar::Panel::Style::Time && b.panels[size_t(n - 1)]->text() != now)
                b.panels[size_t(n - 1)]->setText(now);
    }
}

void FormView::apply_form_visible() {
    if (form_.visible()) {
        if (window_->isVisible()) return;
        window_->move(pixels(form_.left()), pixels(form_.top()));
        window_->show();
        // Shown again (out of the tray): to the front, as a new window comes.
        if (shown_before_) {
            window_->raise();
            window_->activateWindow();
        }
        shown_before_ = true;
        return;
    }
    window_->hide();
    if (form_.unloaded() && on_unloaded) {
        auto done = on_unloaded;
        on_unloaded = nullptr;  // once
        QTimer::singleShot(0, this, done);
    }
}

void FormView::close_requested() {
    form_.close();
}

// ---------------------------------------------------------------- widgets to model

void FormView::text_edited(TextBox& box) {
    if (applying_) return;
    Binding& b = bindings_[&box];
    std::string text;
    if (auto* edit = qobject_cast<QLineEdit*>(b.widget)) text = model_text(edit->text(), false);
    else if (auto* edit = qobject_cast<QPlainTextEdit*>(b.widget)) text = model_text(edit->toPlainText(), true);
    if (text == box.text()) return;
    // A paste may not take the text past the box's limit; nothing changes a locked box.
    if (box.locked || (box.max_length > 0 && int(text.size()) > box.max_length && text.size() > box.text().size())) {
        ++applying_;
        apply_text(box);
        --applying_;
        return;
    }
    ++b.pushing;
    box.set_text(text);
    --b.pushing;
    push_selection_to_model(box);
}

void FormView::selection_moved(TextBox& box) {
    if (applying_ || bindings_[&box].pushing) return;
    push_selection_to_model(box);
}

void FormView::push_selection_to_model(TextBox& box) {
    Binding& b = bindings_[&box];
    int start = 0, end = 0;
    if (auto* edit = qobject_cast<QLineEdit*>(b.widget)) {
        if (edit->hasSelectedText()) {
            start = edit->selectionStart();
            end = edit->selectionEnd();
        } else {
            start = end = edit->cursorPosition();
        }
    } else if (auto* edit = qobject_cast<QPlainTextEdit*>(b.widget)) {
        QTextCursor cursor = edit->textCursor();
        start = cursor.selectionStart();
        end = cursor.selectionEnd();
    }
    int from = model_position(box.text(), start, box.multi_line);
    int to = model_position(box.text(), end, box.multi_line);
    ++b.pushing;
    box.select(from, to - from);
    --b.pushing;
}

bool FormView::key_down(QKeyEvent* event, Control* focus) {
    int code = key_code(event->key(), event->modifiers() & Qt::KeypadModifier);
    if (code == 0) return false;
    int shift = shift_state(event->modifiers());
    // The window sees every key first, wherever the focus is (Esc ends the program there).
    if (form_.on_key_down) {
        form_.on_key_down(code, shift);
        if (code == 0) return true;
    }
    if (focus && focus != &form_ && focus->on_key_down) {
        focus->on_key_down(code, shift);
        if (code == 0) return true;
    }
    if (code == 13) {
        bool own_enter = focus && (focus->kind() == ControlKind::Button ||
                                   (focus->kind() == ControlKind::TextBox && static_cast<TextBox*>(focus)->multi_line));
        if (!own_enter) {
            // Enter elsewhere presses the window's default button, if one is there to press.
            for (const auto& owned : form_.controls()) {
                if (owned->kind() != ControlKind::Button || !static_cast<Button&>(*owned).is_default()) continue;
                auto found = bindings_.find(owned.get());
                QWidget* button = found == bindings_.end() ? nullptr : found->second.widget;
                if (button && button->isVisible() && button->isEnabled()) {
                    owned->click();
                    return true;
                }
            }
        }
    }
    return false;
}

bool FormView::key_press(QKeyEvent* event, Control& focus) {
    if (focus.kind() == ControlKind::TextBox) return text_box_key(event, static_cast<TextBox&>(focus));
    if (focus.kind() == ControlKind::ComboBox) return combo_box_key(event, static_cast<ComboBox&>(focus));
    if (!focus.on_key_press || &focus == &form_) return false;
    int ascii = key_ascii(event);
    if (ascii == kNoCharacter) return false;
    int key = ascii == kOtherCharacter ? int(event->text().at(0).unicode()) : ascii;
    focus.on_key_press(key);
    return key == 0;
}

bool FormView::text_box_key(QKeyEvent* event, TextBox& box) {
    int ascii = key_ascii(event);
    if (ascii == kNoCharacter) return false;
    push_selection_to_model(box);
    const std::string& text = box.text();
    bool through_model = ascii >= 32 || ascii == 13;
    if (ascii == 8) {
        // The control deletes a byte; that is a character unless it ends a
        // multi-byte one or a CR LF line end, which the widget deletes whole.
        int caret = box.sel_start();
        through_model = box.sel_length() > 0 ||
                        (caret > 0 && static_cast<unsigned char>(text[size_t(caret - 1)]) < 0x80 &&
                         !(box.multi_line && text[size_t(caret - 1)] == '\n' && caret >= 2 &&
                           text[size_t(caret - 2)] == '\r')) ||
                        caret == 0;
    }
    if (through_model) {
        box.type_key(ascii);
        return true;  // the widget shows the outcome through the observer
    }
    int key = ascii == kOtherCharacter ? int(event->text().at(0).unicode()) : ascii;
    if (box.on_key_press) {
        box.on_key_press(key);
        if (key == 0) return true;
    }
    return box.locked;  // otherwise the widget edits, and text_edited hands the result over
}

bool FormView::combo_box_key(QKeyEvent* event, ComboBox& box) {
    int ascii = key_ascii(event);
    if (ascii == kNoCharacter || !box.on_key_press) return false;
    int original = ascii == kOtherCharacter ? int(event->text().at(0).unicode()) : ascii;
    int key = original;
    box.on_key_press(key);
    if (key == 0) return true;
    auto* combo = qobject_cast<QComboBox*>(widget(box));
    if (key != original && key >= 32 && key < 127 && combo && combo->lineEdit()) {
        combo->lineEdit()->insert(QString(QChar(key)));  // the replaced key; textEdited hands it over
        return true;
    }
    return false;
}

bool FormView::mouse(QObject* watched, QEvent* event, Control& control) {
    auto* press = static_cast<QMouseEvent*>(event);
    if (press->button() != Qt::LeftButton) return false;
    bool passive = control.kind() == ControlKind::Label || control.kind() == ControlKind::Image ||
                   control.kind() == ControlKind::Frame || control.kind() == ControlKind::StatusBar;
    bool text = control.kind() == ControlKind::TextBox;
    if (!passive && !text) return false;
    if (event->type() == QEvent::MouseButtonDblClick) {
        skip_click_after_double_ = true;
        control.dbl_click();
        return passive;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        if (skip_click_after_double_) {
            skip_click_after_double_ = false;
            return passive;
        }
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->rect().contains(press->position().toPoint())) control.click();
        return passive;
    }
    return false;
}

bool FormView::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress: {
            auto* target = qobject_cast<QWidget*>(watched);
            if (!target || target->window() != window_) return false;
            // Once per key: where it starts, before it travels to parents.
            QWidget* first = QApplication::focusWidget();
            if (!first || first->window() != window_) first = window_;
            if (target != first) return false;
            auto* key = static_cast<QKeyEvent*>(event);
            Control* focus = control(target);
            if (key_down(key, focus)) return true;
            return focus && key_press(key, *focus);
        }
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick: {
            auto it = controls_.find(watched);
            if (it == controls_.end()) return false;
            return mouse(watched, event, *it->second);
        }
        case QEvent::FocusIn: {
            auto it = controls_.find(watched);
            if (it != controls_.end() && it->second != &form_) it->second->got_focus();
            return false;
        }
        case QEvent::WindowStateChange:
            if (watched == window_) {
                Qt::WindowStates state = window_->windowState();
                form_.set_window_state(state & Qt::WindowMinimized   ? Form::WindowState::Minimized
                                       : state & Qt::WindowMaximized ? Form::WindowState::Maximized
                                                                     : Form::WindowState::Normal);
            }
            return false;
        case QEvent::Paint:
            if (watched == window_ && !painted_) {
                painted_ = true;
                // After this paint, and the children's in the same pass.
                QTimer::singleShot(0, this, [this] {
                    if (on_first_shown) on_first_shown();
                    build_pages_later();
                });
            }
            return false;
        default:
            return false;
    }
}

}  // namespace vask
