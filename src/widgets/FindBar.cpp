#include "widgets/FindBar.h"

#include "list/ListFind.h"
#include "list/TorrentGrid.h"
#include "qtsupport/Utf8Text.h"
#include "widgets/GridView.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QToolButton>

namespace lintervale {

FindBar::FindBar(TTorrentGrid& Grid, GridView& View, QWidget* Parent)
    : QWidget(Parent), m_Grid(Grid), m_View(View) {
    setObjectName("FindBar");
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    auto* caption = new QLabel(tr("&Find:"));
    m_Text = new QLineEdit;
    m_Text->setObjectName("FindText");
    m_Text->setAccessibleName(tr("Find"));
    m_Text->setAccessibleDescription(
        tr("Finds the rows whose name, hash or trackers hold the text, ignoring case."));
    m_Text->setClearButtonEnabled(true);
    caption->setBuddy(m_Text);
    m_Matches = new QLabel;
    m_Matches->setObjectName("FindMatches");
    m_Matches->setTextFormat(Qt::PlainText);
    const auto button = [this](const char* Name, const QString& Text, Qt::ArrowType Arrow) {
        auto* tool = new QToolButton;
        tool->setObjectName(Name);
        tool->setArrowType(Arrow);
        tool->setToolTip(Text);
        tool->setAccessibleName(Text);
        tool->setAutoRaise(true);
        return tool;
    };
    QToolButton* previous = button("FindPrevious", tr("Previous match (Shift+F3)"), Qt::UpArrow);
    QToolButton* next = button("FindNext", tr("Next match (F3)"), Qt::DownArrow);
    QToolButton* done = button("FindClose", tr("Close the find bar (Escape)"), Qt::NoArrow);
    done->setText(QStringLiteral("\u2715"));
    row->addWidget(caption);
    row->addWidget(m_Text, 1);
    row->addWidget(m_Matches);
    row->addWidget(previous);
    row->addWidget(next);
    row->addWidget(done);
    connect(m_Text, &QLineEdit::textEdited, this, [this] { find(0); });
    connect(m_Text, &QLineEdit::returnPressed, this, &FindBar::findNext);
    m_Text->installEventFilter(this);
    connect(previous, &QToolButton::clicked, this, &FindBar::findPrevious);
    connect(next, &QToolButton::clicked, this, &FindBar::findNext);
    connect(done, &QToolButton::clicked, this, &FindBar::close);
    hide();
}

void FindBar::open() {
    show();
    m_Text->setFocus(Qt::ShortcutFocusReason);
    m_Text->selectAll();
}

void FindBar::findNext() {
    if (m_Text->text().isEmpty()) {
        open();
        return;
    }
    find(1);
}

void FindBar::findPrevious() {
    if (m_Text->text().isEmpty()) {
        open();
        return;
    }
    find(-1);
}

void FindBar::close() {
    hide();
    m_View.setFocus(Qt::OtherFocusReason);
}

void FindBar::keyPressEvent(QKeyEvent* Event) {
    if (Event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(Event);
}

bool FindBar::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched == m_Text && Event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(Event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            key->modifiers().testFlag(Qt::ShiftModifier)) {
            findPrevious();
            return true;
        }
    }
    return QWidget::eventFilter(Watched, Event);
}

void FindBar::find(int From) {
    show();
    const QString text = m_Text->text();
    if (text.isEmpty()) {
        m_Matches->clear();
        return;
    }
    const TFound found = FindRow(m_Grid, Utf8Of(text),
                                 From == 0  ? TFindFrom::Here
                                 : From > 0 ? TFindFrom::Next
                                            : TFindFrom::Previous);
    if (found.Row == 0) {
        m_Matches->setText(tr("Not found"));
        return;
    }
    const QLocale locale;
    m_Matches->setText(
        tr("%1 of %2").arg(locale.toString(found.Index), locale.toString(found.Count)));
    m_Grid.Select(found.Row, found.Row);
    m_View.scrollTo(m_View.currentIndex());
}

} // namespace lintervale
