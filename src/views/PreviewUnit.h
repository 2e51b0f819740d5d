#pragma once
// The report preview window through which every printout goes: zoom, page turning,
// printing, saving the built pages to a .frp file and loading a saved one.
#include "ReportModel.h"
#include "ViewHooks.h"

#include <QDialog>

class QToolButton;
class QPrinter;
class ReportPreview;

class TPreviewForm : public QDialog {
    Q_OBJECT
public:
    // The message boxes and dialogs this window waits on; tests put recorders in their place.
    ViewHooks hooks = ViewHooks::defaults();

    explicit TPreviewForm(QWidget* parent = nullptr);

    // Puts the built pages into the preview area.
    void setReport(report::PreparedReport report);
    const report::PreparedReport& report() const;

    // Writes the shown pages to path with its extension made ".frp"; the name written is
    // returned in *written. Nothing happens without pages.
    bool saveReport(const QString& path, QString* written, QString* error);
    // Replaces the shown pages by a saved file's; a damaged or foreign file changes nothing.
    bool loadReport(const QString& path, QString* error);
    // Prints the pages the printer's settings choose (all, current, ranges; copies). When
    // nothing was printed, *error says why in the operator's language.
    bool printTo(QPrinter* printer, QString* error = nullptr);

    ReportPreview* frPreview1 = nullptr;
    QToolButton* frSpeedButton1 = nullptr;  // zoom to fit
    QToolButton* frSpeedButton2 = nullptr;  // zoom to 100%
    QToolButton* frSpeedButton3 = nullptr;  // zoom to page width
    QToolButton* frSpeedButton4 = nullptr;  // first page
    QToolButton* frSpeedButton5 = nullptr;  // previous page
    QToolButton* frSpeedButton6 = nullptr;  // next page
    QToolButton* frSpeedButton7 = nullptr;  // last page
    QToolButton* frSpeedButton8 = nullptr;  // load
    QToolButton* frSpeedButton9 = nullptr;  // save
    QToolButton* frSpeedButton10 = nullptr; // print
    QToolButton* frSpeedButton11 = nullptr; // close

public slots:
    void FormActivate();
    void frSpeedButton1Click();
    void frSpeedButton2Click();
    void frSpeedButton3Click();
    void frSpeedButton4Click();
    void frSpeedButton5Click();
    void frSpeedButton6Click();
    void frSpeedButton7Click();
    void frSpeedButton8Click();
    void frSpeedButton9Click();
    void frSpeedButton10Click();
    void frSpeedButton11Click();
    void searchClick();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QToolButton* addButton(const QString& name, const QString& tip, const QIcon& icon);
};
