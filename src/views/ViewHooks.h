#pragma once
// The points where the views wait for the operator: message boxes, the modal preview and the
// report file dialogs. Each view holds its own set, the real dialogs unless a test puts
// recorders in their place; a view hands its set on to the preview it opens.
#include <QString>
#include <functional>

class QDialog;
class QPrinter;
class QWidget;
class TPreviewForm;

struct ViewHooks {
    // A message box with an OK button.
    std::function<void(QWidget* parent, const QString& title, const QString& text)> message;
    // Runs a dialog (the shift report's) modally and returns its result.
    std::function<int(QDialog* dialog)> runDialog;
    // Shows the preview modally and returns its result.
    std::function<int(TPreviewForm* preview)> showPreview;
    // A question with Yes and No buttons; true for Yes.
    std::function<bool(QWidget* parent, const QString& title, const QString& text)> confirm;
    // Asks for a report file to load (save == false) or to save; empty when cancelled.
    std::function<QString(QWidget* parent, bool save)> reportFile;
    // The print dialog for a report of `pages` pages: sets up the printer (which printer,
    // pages, copies); true when the operator chose to print.
    std::function<bool(QWidget* parent, QPrinter* printer, int pages)> printDialog;

    // The real dialogs.
    static ViewHooks defaults();
};
