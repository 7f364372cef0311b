#pragma once

class QMainWindow;
class QWidget;

// The window's form: its object name, central widget and title.
struct AlphabetViewerForm {
    QWidget* centralWidget = nullptr;

    void setupForm(QMainWindow* window);
    void retranslateForm(QMainWindow* window);
};
