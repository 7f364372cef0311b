#include "view/GoToGlyphDialog.h"

#include "view/GlyphChoice.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

GoToGlyphDialog::GoToGlyphDialog(QWidget* parent, int glyphCount_, const QString& file_)
    : QDialog(parent), glyphCount(glyphCount_), file(file_), entry(new QLineEdit(this)),
      problem(new QLabel(this)) {
    setWindowTitle(tr("Go to a glyph"));
    auto* layout = new QVBoxLayout(this);
    const QString range = glyphCount > 0 ? tr(" (0 to %1)").arg(glyphCount - 1) : QString();
    layout->addWidget(new QLabel(tr("Glyph index%1 or label character:").arg(range), this));
    layout->addWidget(entry);
    problem->setWordWrap(true);
    problem->hide();
    layout->addWidget(problem);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void GoToGlyphDialog::accept() {
    const GlyphChoice choice = chooseGlyph(entry->text(), glyphCount, file);
    if (choice.index < 0) {
        problem->setText(choice.problem);
        problem->show();
        entry->selectAll();
        return; // stays open for another try
    }
    emit glyphChosen(choice.index);
    QDialog::accept();
}
