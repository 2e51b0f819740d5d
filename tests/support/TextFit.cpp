#include "TextFit.h"

#include "BevelPanel.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>

namespace textfit {
namespace {

constexpr int kFar = 100000;

QString shown(QString text) {
    return text.replace(QLatin1Char('\n'), QLatin1Char('|'));
}

class Collector {
public:
    Collector(const QWidget* window, const QWidget* skip) : window_(window), skip_(skip) {}

    void visit(const QWidget* w) {
        if (w != window_ && (w->isWindow() || !w->isVisibleTo(window_)))
            return;
        if (w == skip_)
            return;
        check(w);
        for (const QObject* o : w->children()) {
            if (o->isWidgetType())
                visit(static_cast<const QWidget*>(o));
        }
    }

    QStringList found;

private:
    void clipped(const QWidget* w, const QString& text, const QString& why) {
        found << QStringLiteral("%1 (%2) '%3': %4")
                     .arg(w->objectName().isEmpty() ? QStringLiteral("-") : w->objectName(),
                          QLatin1String(w->metaObject()->className()), shown(text), why);
    }

    // The size of a text laid out as drawn (lines at '\n', words wrapped within `width` when
    // asked): the widest line's advance and the height of all lines.
    static QSize laidOut(const QFontMetrics& fm, const QString& text, int width, bool wrap) {
        const int flags = Qt::AlignLeft | Qt::AlignTop | (wrap ? Qt::TextWordWrap : 0);
        return fm.boundingRect(QRect(0, 0, wrap ? width : kFar, kFar), flags, text).size();
    }

    // Fits `need` into `room`; a sibling stacked above the text's place must not cover it and
    // the place must lie inside the parent.
    void fit(const QWidget* w, const QString& text, QSize need, const QRect& room,
             Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
        if (need.width() > room.width()) {
            clipped(
                w, text,
                QStringLiteral("needs %1 px across, has %2").arg(need.width()).arg(room.width()));
            return;
        }
        if (need.height() > room.height()) {
            clipped(
                w, text,
                QStringLiteral("needs %1 px down, has %2").arg(need.height()).arg(room.height()));
            return;
        }
        const QRect place = QStyle::alignedRect(w->layoutDirection(), align, need, room);
        uncovered(w, text, place);
    }

    void uncovered(const QWidget* w, const QString& text, const QRect& place) {
        const QWidget* parent = w->parentWidget();
        if (!parent || w->isWindow())
            return;
        const QRect inParent = place.translated(w->pos());
        if (!parent->rect().contains(inParent)) {
            clipped(w, text,
                    QStringLiteral("stands outside its parent %1").arg(parent->objectName()));
            return;
        }
        const QObjectList& siblings = parent->children();
        for (qsizetype i = siblings.indexOf(const_cast<QWidget*>(w)) + 1; i < siblings.size();
             ++i) {
            if (!siblings[i]->isWidgetType())
                continue;
            const auto* s = static_cast<const QWidget*>(siblings[i]);
            if (s->isWindow() || !s->isVisibleTo(parent))
                continue;
            if (s->geometry().intersects(inParent)) {
                clipped(w, text, QStringLiteral("covered by %1").arg(s->objectName()));
                return;
            }
        }
    }

    void check(const QWidget* w) {
        if (const auto* l = qobject_cast<const QLabel*>(w))
            return checkLabel(l);
        if (const auto* b = qobject_cast<const QPushButton*>(w))
            return checkPushButton(b);
        if (const auto* b = qobject_cast<const QToolButton*>(w))
            return checkToolButton(b);
        if (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w))
            return checkIndicatorButton(static_cast<const QAbstractButton*>(w));
        if (const auto* g = qobject_cast<const QGroupBox*>(w))
            return checkGroup(g);
        if (const auto* h = qobject_cast<const QHeaderView*>(w))
            return checkHeader(h);
        if (const auto* c = qobject_cast<const QComboBox*>(w))
            return checkCombo(c);
        if (const auto* e = qobject_cast<const QLineEdit*>(w))
            return checkEdit(e);
        if (const auto* p = qobject_cast<const BevelPanel*>(w))
            return checkBevelPanel(p);
    }

    void checkLabel(const QLabel* l) {
        const QString text = l->text();
        if (text.isEmpty() || l->textFormat() == Qt::RichText ||
            (l->textFormat() == Qt::AutoText && Qt::mightBeRichText(text)))
            return;
        const QFontMetrics fm(l->font());
        QRect room =
            l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
        const Qt::Alignment align = QStyle::visualAlignment(l->layoutDirection(), l->alignment());
        int indent = l->indent();
        if (indent < 0 && l->frameWidth() > 0)
            indent = fm.horizontalAdvance(QLatin1Char('x')) / 2;
        if (indent > 0) {
            if (align & Qt::AlignLeft)
                room.setLeft(room.left() + indent);
            if (align & Qt::AlignRight)
                room.setRight(room.right() - indent);
        }
        fit(l, text, laidOut(fm, text, room.width(), l->wordWrap()), room, align);
    }

    static int iconRoom(const QAbstractButton* b) {
        return b->icon().isNull() ? 0 : b->iconSize().width() + 4;
    }

    void checkPushButton(const QPushButton* b) {
        if (b->text().isEmpty())
            return;
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = b->text();
        opt.icon = b->icon();
        opt.iconSize = b->iconSize();
        if (b->isDefault())
            opt.features |= QStyleOptionButton::DefaultButton;
        if (b->autoDefault())
            opt.features |= QStyleOptionButton::AutoDefaultButton;
        const QRect room = b->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, b);
        const QFontMetrics fm(b->font());
        QSize need = laidOut(fm, b->text(), 0, false);
        need.rwidth() += iconRoom(b);
        fit(b, b->text(), need, room, Qt::AlignCenter);
    }

    void checkToolButton(const QToolButton* b) {
        if (b->text().isEmpty() || b->toolButtonStyle() == Qt::ToolButtonIconOnly)
            return;
        // The button's own size for its icon and text; a tool bar may make it lower than the
        // style would like, which cuts nothing as long as the text's line fits.
        const QSize hint = b->sizeHint();
        const int line = QFontMetrics(b->font()).height();
        if (b->width() < hint.width() || b->height() < line) {
            clipped(b, b->text(),
                    QStringLiteral("needs %1 x %2 px, has %3 x %4")
                        .arg(hint.width())
                        .arg(line)
                        .arg(b->width())
                        .arg(b->height()));
            return;
        }
        uncovered(b, b->text(), b->rect());
    }

    // A tool button that the tool bar had no room for is hidden behind its overflow arrow.
    void checkToolBar(const QToolBar* bar) {
        for (const QObject* o : bar->children()) {
            const auto* b = qobject_cast<const QToolButton*>(o);
            if (!b || b->objectName() == QLatin1String("qt_toolbar_ext_button"))
                continue;
            if (!b->isVisibleTo(bar))
                clipped(b, b->text(), QStringLiteral("hidden in the tool bar's overflow"));
        }
    }

    void checkIndicatorButton(const QAbstractButton* b) {
        if (b->text().isEmpty())
            return;
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = b->text();
        opt.icon = b->icon();
        opt.iconSize = b->iconSize();
        const bool radio = qobject_cast<const QRadioButton*>(b) != nullptr;
        const QRect room = b->style()->subElementRect(
            radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents, &opt, b);
        QSize need = laidOut(QFontMetrics(b->font()), b->text(), 0, false);
        need.rwidth() += iconRoom(b);
        fit(b, b->text(), need, room);
    }

    void checkGroup(const QGroupBox* g) {
        if (g->title().isEmpty())
            return;
        QStyleOptionGroupBox opt;
        opt.initFrom(g);
        opt.text = g->title();
        opt.lineWidth = 1;
        opt.midLineWidth = 0;
        opt.textAlignment = g->alignment();
        opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        if (g->isCheckable())
            opt.subControls |= QStyle::SC_GroupBoxCheckBox;
        const QRect label =
            g->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, g);
        const int need = QFontMetrics(g->font()).horizontalAdvance(g->title());
        if (need > label.width() || label.left() < 0 || label.right() >= g->width())
            clipped(g, g->title(),
                    QStringLiteral("needs %1 px across, the title has %2 inside the frame")
                        .arg(need)
                        .arg(qMin(label.width(), g->width() - qMax(0, label.left()))));
    }

    void checkHeader(const QHeaderView* h) {
        const QAbstractItemModel* model = h->model();
        if (!model)
            return;
        const bool sheet = !h->styleSheet().isEmpty();
        // A style sheet's section has a one-pixel border and two pixels of padding each side.
        const int margin =
            sheet ? 6 : 2 * h->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, h);
        const bool wrap = h->defaultAlignment() & Qt::TextWordWrap;
        const QFontMetrics fm(h->font());
        const int count =
            h->orientation() == Qt::Horizontal ? model->columnCount() : model->rowCount();
        for (int i = 0; i < count; ++i) {
            if (h->isSectionHidden(i))
                continue;
            const QString text = model->headerData(i, h->orientation(), Qt::DisplayRole).toString();
            if (text.isEmpty())
                continue;
            const int size = h->sectionSize(i);
            const QSize room = h->orientation() == Qt::Horizontal
                                   ? QSize(size - margin, h->height() - margin)
                                   : QSize(h->width() - margin, size - margin);
            const QSize need = laidOut(fm, text, room.width(), wrap);
            // A word wider than the section runs past it even when wrapping.
            const int widest = wrap ? [&] {
                int m = 0;
                for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                    m = qMax(m, fm.horizontalAdvance(word));
                return m;
            }()
                                    : need.width();
            if (widest > room.width() || need.height() > room.height())
                clipped(h, text,
                        QStringLiteral("section %1 needs %2 x %3 px, has %4 x %5")
                            .arg(i)
                            .arg(qMax(widest, need.width()))
                            .arg(need.height())
                            .arg(room.width())
                            .arg(room.height()));
        }
    }

    void checkCombo(const QComboBox* c) {
        QStyleOptionComboBox opt;
        opt.initFrom(c);
        opt.editable = c->isEditable();
        opt.frame = c->hasFrame();
        opt.subControls = QStyle::SC_All;
        const QRect field =
            c->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, c);
        const QFontMetrics fm(c->font());
        for (int i = 0; i < c->count(); ++i) {
            const QString text = c->itemText(i);
            int need = fm.horizontalAdvance(text);
            if (!c->itemIcon(i).isNull())
                need += c->iconSize().width() + 4;
            if (need > field.width())
                clipped(c, text,
                        QStringLiteral("item %1 needs %2 px, the field has %3")
                            .arg(i)
                            .arg(need)
                            .arg(field.width()));
        }
    }

    void checkEdit(const QLineEdit* e) {
        const QString text = e->displayText();
        if (text.isEmpty())
            return;
        QStyleOptionFrame opt;
        opt.initFrom(e);
        opt.rect = e->rect();
        opt.lineWidth =
            e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e) : 0;
        opt.midLineWidth = 0;
        QRect r = e->style()->subElementRect(QStyle::SE_LineEditContents, &opt, e);
        const QMargins tm = e->textMargins();
        // The edit keeps two pixels beside the text and one above and below it.
        r = r.adjusted(tm.left() + 2, tm.top() + 1, -tm.right() - 2, -tm.bottom() - 1);
        const QFontMetrics fm(e->font());
        const int need = fm.horizontalAdvance(text);
        if (need > r.width())
            clipped(e, text, QStringLiteral("needs %1 px across, has %2").arg(need).arg(r.width()));
        else if (fm.ascent() + fm.descent() > r.height() + 2)
            clipped(e, text,
                    QStringLiteral("needs %1 px down, has %2")
                        .arg(fm.ascent() + fm.descent())
                        .arg(r.height() + 2));
    }

    void checkBevelPanel(const BevelPanel* p) {
        const QString text = p->caption();
        if (text.isEmpty())
            return;
        const QRect room = p->rect().adjusted(2, 2, -2, -2);
        fit(p, text, laidOut(QFontMetrics(p->font()), text, 0, false), room, Qt::AlignCenter);
    }

public:
    void visitToolBars(const QWidget* w) {
        for (const QToolBar* bar : w->findChildren<const QToolBar*>()) {
            if (bar->isVisibleTo(window_) && !(skip_ && skip_->isAncestorOf(bar)))
                checkToolBar(bar);
        }
    }

private:
    const QWidget* window_;
    const QWidget* skip_;
};

} // namespace

QStringList clippedTexts(const QWidget* window, const QWidget* skip) {
    Collector c(window, skip);
    c.visit(window);
    c.visitToolBars(window);
    return c.found;
}

} // namespace textfit
