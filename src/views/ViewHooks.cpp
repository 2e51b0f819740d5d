#include "ViewHooks.h"

#include "PreviewUnit.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>

ViewHooks ViewHooks::defaults() {
    ViewHooks h;
    h.message = [](QWidget* parent, const QString& title, const QString& text) {
        QMessageBox::warning(parent, title, text, QMessageBox::Ok);
    };
    h.confirm = [](QWidget* parent, const QString& title, const QString& text) {
        return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    };
    h.runDialog = [](QDialog* dialog) { return dialog->exec(); };
    h.showPreview = [](TPreviewForm* preview) { return preview->exec(); };
    h.reportFile = [](QWidget* parent, bool save) {
        const QString filter = QStringLiteral("Файл отчета (*.frp)");
        return save ? QFileDialog::getSaveFileName(parent, QString(), QString(), filter)
                    : QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
    };
    h.printDialog = [](QWidget* parent, QPrinter* printer, int pages) {
        QPrintDialog dialog(printer, parent);
        dialog.setOptions(
            QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintCurrentPage |
            QAbstractPrintDialog::PrintCollateCopies | QAbstractPrintDialog::PrintShowPageSize);
        dialog.setMinMax(1, pages);
        return dialog.exec() == QDialog::Accepted;
    };
    return h;
}
