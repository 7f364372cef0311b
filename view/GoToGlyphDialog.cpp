#include "view/GoToGlyphDialog.h"

#include "alphabet/GlyphLabel.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

GlyphChoice chooseGlyph(const QString& text, int glyphCount, const QString& file) {
    const QString name = QFileInfo(file).fileName();
    const QString asked = text.trimmed();
    const QString range = glyphCount > 0 ? QString("its glyphs are 0 to %1").arg(glyphCount - 1)
                                         : QStringLiteral("it holds no glyphs");
    GlyphChoice choice;
    bool number = false;
    const qlonglong index = asked.toLongLong(&number);
    if (number && !asked.startsWith('+') && !asked.startsWith('-')) {
        if (index < glyphCount)
            choice.index = static_cast<int>(index);
        else
            choice.problem = QString("No glyph %1 in %2: %3.").arg(asked, name, range);
    } else if (asked.size() == 1 && asked[0].unicode() < 256) {
        // The first glyph shown under this Latin-1 character.
        const int first = (asked[0].unicode() - glyphLabelCode(0) + 256) % 256;
        if (first < glyphCount)
            choice.index = first;
        else
            choice.problem = QString("No glyph labelled \"%1\" in %2: %3.").arg(asked, name, range);
    } else {
        choice.problem = QString("\"%1\" is neither a glyph index nor a label character (for %2).")
                             .arg(asked, name);
    }
    return choice;
}

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
