#include "view/GoToGlyphDialog.h"

#include "view/GlyphChoice.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>

GoToGlyphDialog::GoToGlyphDialog(QWidget* parent, std::function<int()> glyphCount_,
                                 const QString& file_)
    : QDialog(parent), glyphCount(std::move(glyphCount_)), file(file_), asking(new QLabel(this)),
      entry(new QLineEdit(this)), problem(new QLabel(this)) {
    setWindowTitle(tr("Go to a glyph"));
    auto* layout = new QVBoxLayout(this);
    showRange(glyphCount());
    layout->addWidget(asking);
    layout->addWidget(entry);
    problem->setWordWrap(true);
    problem->hide();
    layout->addWidget(problem);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void GoToGlyphDialog::showRange(int count) {
    const QString range = count > 0 ? tr(" (0 to %1)").arg(count - 1) : QString();
    asking->setText(tr("Glyph index%1 or label character:").arg(range));
}

void GoToGlyphDialog::accept() {
    const int count = glyphCount();
    showRange(count);
    const GlyphChoice choice = chooseGlyph(entry->text(), count, file);
    if (choice.index < 0) {
        problem->setText(choice.problem);
        problem->show();
        fitText();
        entry->selectAll();
        return; // stays open for another try
    }
    emit glyphChosen(choice.index);
    QDialog::accept();
}

// Grows the dialog to the height its wrapped message needs at its width: a shown
// dialog keeps its size otherwise, and cuts the message's lines.
void GoToGlyphDialog::fitText() {
    layout()->activate();
    const int wanted = layout()->totalHeightForWidth(width());
    setMinimumHeight(std::max(wanted, layout()->totalMinimumSize().height()));
    if (height() < minimumHeight())
        resize(width(), minimumHeight());
}
