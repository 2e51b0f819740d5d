#pragma once
// Stands in for the operator in window tests: records message boxes, captures the report a
// preview would show (and may act on the preview), answers file dialogs.
#include "PreviewUnit.h"
#include "ReportModel.h"
#include "ViewHooks.h"

#include <QDialog>
#include <QStringList>
#include <functional>

struct HookRecorder {
    QStringList messages; // "title: text"
    std::vector<report::PreparedReport> previews;
    QStringList previewTitles;
    std::function<void(TPreviewForm*)> onPreview;
    std::function<int(QDialog*)> onDialog;
    QString fileAnswer;
    QStringList questions;
    bool confirmAnswer = false;
    // Sets up the printer as the operator's choice in the print dialog; empty: cancelled.
    std::function<void(QPrinter*)> onPrintDialog;

    // The recorder in place of the operator, for a window's hooks.
    ViewHooks viewHooks() {
        ViewHooks h;
        h.message = [this](QWidget*, const QString& title, const QString& text) {
            messages << title + QStringLiteral(": ") + text;
        };
        h.showPreview = [this](TPreviewForm* preview) {
            previews.push_back(preview->report());
            previewTitles << preview->windowTitle();
            if (onPreview)
                onPreview(preview);
            return int(QDialog::Accepted);
        };
        h.runDialog = [this](QDialog* dialog) {
            return onDialog ? onDialog(dialog) : int(QDialog::Rejected);
        };
        h.reportFile = [this](QWidget*, bool) { return fileAnswer; };
        h.confirm = [this](QWidget*, const QString&, const QString& text) {
            questions << text;
            return confirmAnswer;
        };
        h.printDialog = [this](QWidget*, QPrinter* printer, int) {
            if (!onPrintDialog)
                return false;
            onPrintDialog(printer);
            return true;
        };
        return h;
    }
    HookRecorder() = default;
    HookRecorder(const HookRecorder&) = delete;
    HookRecorder& operator=(const HookRecorder&) = delete;
};
