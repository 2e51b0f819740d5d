#include "StationRoot.h"

#include "ActiveAlarmsUnit.h"
#include "AttentionUnit.h"
#include "Colours.h"
#include "FreePages.h"
#include "HistoryUnit.h"
#include "JurnalUnit.h"
#include "MainTexts.h"
#include "MainUnitKorvel.h"
#include "MnemoUnit.h"
#include "ProtocolUnit.h"
#include "RapDlgUnit.h"
#include "SmallForms.h"
#include "TableUnit.h"

#include <QCoreApplication>
#include <QTextStream>
#include <QThread>

StationRoot::StationRoot(const Options& options)
    : dm_(
          options.workDir,
          // Alarms, link events and write failures, from the poll thread or this one.
          [this](const QString& text, QRgb colour) {
              if (QThread::currentThread() == QCoreApplication::instance()->thread() && holding_) {
                  held_.emplace_back(text, colour);
                  return;
              }
              if (main_)
                  main_->AvariaMemo(text, colour);
          },
          // A failed journal write (on this thread) shows in the event list without a journal
          // record.
          [this](const QString& text, QRgb colour) {
              if (main_)
                  main_->AvariaMemoNoJournal(text, colour);
          }) {
    if (!options.device.isEmpty())
        dm_.setDeviceOverride(options.device);
    // The main window: its creation opens the port, starts the poll thread and reports the
    // start. Before that, the window is connected and what the last run could not write goes
    // to its days' tables, ahead of this run's first record.
    form_ = std::make_unique<TMainFormKorvel>(
        dm_, TMainFormKorvel::Paths{options.settingsFile, options.workDir}, nullptr,
        [this, options](TMainFormKorvel& window) {
            attach(window);
            startPublishing(options);
            holding_ = true;
            dm_.recoverUnwritten();
        });
    holding_ = false;
    for (const auto& [text, colour] : std::exchange(held_, {}))
        main_->AvariaMemo(text, colour);
    TMainFormKorvel& form = *form_;
    TDM& dm = dm_;
    const QString workDir = options.workDir;
    const auto lang = [&form] { return form.langFilePath(); };
    form.setViewFactory(TMainFormKorvel::View::TabZad, [&dm, lang]() -> QWidget* {
        return new TTableForm(dm.setpointSend(), lang());
    });
    form.setViewFactory(TMainFormKorvel::View::Mnemo, [&dm, lang, this]() -> QWidget* {
        return new TMnemoForm(
            dm.processImage(), chargeFlow_, [&dm] { return dm.linkFailureCount(); }, lang());
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
        return new TActiveAlarmsForm(dm.alarms(), lang(), [&form](const std::vector<int>& ids) {
            form.reportAcknowledged(ids);
        });
    });
    form.setAlarms(dm.alarms());
    form.setAttentionFactory(
        [&dm, lang]() -> QWidget* { return new TAttentionForm(dm.processImage(), lang()); });
    form.showMaximized();
    // The mimic window.
    form.openView(TMainFormKorvel::View::Mnemo);
    giveBack_.setInterval(std::chrono::minutes(1));
    QObject::connect(&giveBack_, &QTimer::timeout, [] { freepages::giveBack(); });
    giveBack_.start();
}

StationRoot::~StationRoot() {
    // The window goes first (its closing writes the exit record and stops polling); the
    // data module then saves what could not be written. Polling has stopped before the
    // window is let go, whether or not it was closed.
    dm_.stopPolling();
    // The network goes before the window it tells: its last words are "offline".
    dm_.setNetworkHooks({});
    network_.reset();
    main_ = nullptr;
    form_.reset();
}

void StationRoot::attach(TMainFormKorvel& window) {
    main_ = &window;
    const TComThread* t = &dm_.pollSignals();
    TMainFormKorvel* w = &window;
    QObject::connect(t, &TComThread::statusChanged, w, &TMainFormKorvel::setLinkStatus,
                     Qt::QueuedConnection);
    QObject::connect(t, &TComThread::iconChanged, w, &TMainFormKorvel::setLinkIcon,
                     Qt::QueuedConnection);
    QObject::connect(t, &TComThread::stopColour, w, &TMainFormKorvel::setStopColour,
                     Qt::QueuedConnection);
    QObject::connect(t, &TComThread::attentionColour, w, &TMainFormKorvel::setAttentionColour,
                     Qt::QueuedConnection);
    // Link events and failed steps are events: they take the event path of every other one.
    QObject::connect(
        t, &TComThread::linkEvent, w, [w](const QString& s, QRgb c) { w->AvariaMemo(s, c); },
        Qt::DirectConnection);
    QObject::connect(
        t, &TComThread::stepFailed, w,
        [w](const QString& step, const QString& why) {
            w->AvariaMemo(step + QStringLiteral(": ") + why, colours::kRed);
        },
        Qt::DirectConnection);
}

void StationRoot::startPublishing(const Options& options) {
    mqtt::Config config = mqtt::Config::load(options.settingsFile);
    if (!config.password.isEmpty())
        mqtt::keepPasswordOutOfCoreDumps();
    if (!options.mqtt.isEmpty())
        config.url = options.mqtt;
    const mqtt::Checked checked = mqtt::check(config, options.settingsFile);
    const auto texts = MainTextStore::get();
    if (!checked.why.isEmpty()) {
        QTextStream(stderr) << "korvel: publishing to the MQTT broker is off: " << checked.why
                            << Qt::endl;
        main_->AvariaMemo(texts->lngMqttOff + QLatin1Char(' ') + checked.why, colours::kRed);
        return;
    }
    if (!checked.publish)
        return;
    mqtt::Publisher::Options o;
    o.broker = checked.broker;
    o.topic = config.topic;
    o.user = config.user;
    o.password = config.password;
    o.caFile = config.caFile;
    // Told on the network thread; the window's event path takes it from there.
    network_ = std::make_unique<mqtt::PlantPublisher>(o, [this](bool working, const QString& why) {
        const auto t = MainTextStore::get();
        if (working)
            main_->AvariaMemo(t->lngMqttWorks, colours::kBlue);
        else
            main_->AvariaMemo(t->lngMqttStopped + QLatin1Char(' ') + why, colours::kRed);
    });
    mqtt::PlantPublisher* net = network_.get();
    dm_.setNetworkHooks({
        [net](const QString& text, const char* kind) { net->event(text, kind); },
        [net](const std::vector<QString>& values) { net->dose(values); },
        [net](const ImageData& image) { net->goodAnswer(image); },
        [net](const char* state) { net->link(state); },
    });
}
