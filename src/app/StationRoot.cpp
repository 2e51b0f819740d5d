#include "StationRoot.h"

#include "ActiveAlarmsUnit.h"
#include "AttentionUnit.h"
#include "HistoryUnit.h"
#include "JurnalUnit.h"
#include "MainUnitKorvel.h"
#include "MnemoUnit.h"
#include "ProtocolUnit.h"
#include "RapDlgUnit.h"
#include "SmallForms.h"
#include "TableUnit.h"

StationRoot::StationRoot(const Options& options)
    : dm_(
          options.workDir,
          [this](const QString& text, QRgb colour) {
              QMetaObject::invokeMethod(
                  &bridge_,
                  [this, text, colour] {
                      if (main_)
                          main_->AvariaMemo(text, colour);
                  },
                  Qt::QueuedConnection);
          },
          // A failed journal write shows in the event list without a journal record.
          [this](const QString& text, QRgb colour) {
              QMetaObject::invokeMethod(
                  &bridge_,
                  [this, text, colour] {
                      if (main_)
                          main_->AvariaMemoNoJournal(text, colour);
                  },
                  Qt::QueuedConnection);
          }) {
    if (!options.device.isEmpty())
        dm_.link.setDeviceOverride(options.device);
    wire();
    // What the last run could not write goes to its days' tables before this run's first
    // record; the event line follows the start line.
    dm_.recoverUnwritten();

    // The main window: its creation opens the port, starts the poll thread and reports the
    // start.
    form_ = std::make_unique<TMainFormKorvel>(
        dm_, TMainFormKorvel::Paths{options.settingsFile, options.workDir});
    main_ = form_.get();
    TMainFormKorvel& form = *form_;
    TDM& dm = dm_;
    const QString workDir = options.workDir;
    const auto lang = [&form] { return form.langFilePath(); };
    form.setViewFactory(TMainFormKorvel::View::TabZad, [&dm, lang]() -> QWidget* {
        return new TTableForm(dm.link, dm, dm.image, lang());
    });
    form.setViewFactory(TMainFormKorvel::View::Mnemo, [&dm, lang]() -> QWidget* {
        return new TMnemoForm(
            dm.image, [&dm] { return dm.thread.failureCount(); }, lang());
    });
    form.setViewFactory(TMainFormKorvel::View::History, [workDir, lang]() -> QWidget* {
        return new THistoryForm(workDir, lang(), nullptr, [](const QString& text) -> QWidget* {
            auto* desk = new TDeskForm;
            desk->setText(text);
            return desk;
        });
    });
    form.setViewFactory(TMainFormKorvel::View::Jurnal,
                        [workDir, lang]() -> QWidget* { return new TJurnalForm(workDir, lang()); });
    form.setViewFactory(TMainFormKorvel::View::Protocol, [workDir, lang]() -> QWidget* {
        return new TProtocolForm(workDir, lang());
    });
    form.setRaportHandler([workDir, lang, &form] { runShiftReport(workDir, lang(), &form); });
    form.setViewFactory(TMainFormKorvel::View::Alarms, [&dm, &form, lang]() -> QWidget* {
        return new TActiveAlarmsForm(dm.alarmStates, lang(), [&form](const std::vector<int>& ids) {
            form.reportAcknowledged(ids);
        });
    });
    form.setAlarms(dm.alarmStates);
    form.setAttentionFactory(
        [&dm, lang]() -> QWidget* { return new TAttentionForm(dm.image, lang()); });
    form.showMaximized();
    // The mimic window.
    form.openView(TMainFormKorvel::View::Mnemo);
}

StationRoot::~StationRoot() {
    // The window goes first (its closing writes the exit record and stops polling); the
    // data module then saves what could not be written.
    form_.reset();
    main_ = nullptr;
}

void StationRoot::wire() {
    auto* t = &dm_.thread;
    QObject::connect(
        t, &TComThread::statusChanged, &bridge_,
        [this](QString s, QRgb c) {
            if (main_)
                main_->setLinkStatus(s, c);
        },
        Qt::QueuedConnection);
    QObject::connect(
        t, &TComThread::iconChanged, &bridge_,
        [this](int icon) {
            if (main_)
                main_->setLinkIcon(icon);
        },
        Qt::QueuedConnection);
    QObject::connect(
        t, &TComThread::stopColour, &bridge_,
        [this](QRgb c) {
            if (main_)
                main_->setStopColour(c);
        },
        Qt::QueuedConnection);
    QObject::connect(
        t, &TComThread::attentionColour, &bridge_,
        [this](QRgb c) {
            if (main_)
                main_->setAttentionColour(c);
        },
        Qt::QueuedConnection);
    QObject::connect(
        t, &TComThread::linkEvent, &bridge_,
        [this](QString s, QRgb c) {
            if (main_)
                main_->AvariaMemo(s, c);
        },
        Qt::QueuedConnection);
    QObject::connect(
        t, &TComThread::stepFailed, &bridge_,
        [this](QString step, QString why) {
            if (main_)
                main_->AvariaMemo(step + QStringLiteral(": ") + why, 0xFFFF0000);
        },
        Qt::QueuedConnection);
}
