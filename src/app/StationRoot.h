#pragma once
// The station put together: the data module, the main window with its views. Events of either
// thread go to the window's AvariaMemo, whose event queue keeps their order; the poll thread's
// other effects are its signals, queued to the window. Creating it opens the port, starts
// polling, writes the start record and opens the mimic; everything that reports is connected
// before the first record is written.
#include "ChargeFlow.h"
#include "DataModule.h"
#include "PlantPublisher.h"

#include <QString>
#include <QTimer>
#include <memory>
#include <utility>
#include <vector>

class TMainFormKorvel;

class StationRoot {
public:
    struct Options {
        QString workDir;      // tables and language files
        QString device;       // a serial device instead of the one the settings name
        QString settingsFile; // korvel.ini
        QString mqtt;         // a broker in place of Url of [Mqtt] in korvel.ini
    };
    explicit StationRoot(const Options& options);
    ~StationRoot();
    StationRoot(const StationRoot&) = delete;
    StationRoot& operator=(const StationRoot&) = delete;

    TMainFormKorvel& mainForm() { return *form_; }
    TDM& dataModule() { return dm_; }

private:
    // Connects the window, once it can show events, before polling starts.
    void attach(TMainFormKorvel& window);
    // Starts publishing to the plant's MQTT broker when the settings ask for it, or tells why
    // not in an event line and on the error output.
    void startPublishing(const Options& options);

    // The window while it can take events: set before the poll thread starts, cleared after
    // it has stopped, so the poll thread never sees it change.
    TMainFormKorvel* main_ = nullptr;
    // Events of this thread while the window is being made (what the recovery reports) are
    // held until its start event is shown, so they follow it. This thread only.
    bool holding_ = false;
    std::vector<std::pair<QString, QRgb>> held_;
    TDM dm_;
    // The receiving bunker and bunker No. 1 as followed so far, for every mimic window.
    ChargeFlow chargeFlow_;
    // The plant network, while publishing is on.
    std::unique_ptr<mqtt::PlantPublisher> network_;
    std::unique_ptr<TMainFormKorvel> form_;
    // Every minute the pages the allocator holds free go back to the system, so a
    // station that runs for months keeps the resident memory it settled at.
    QTimer giveBack_;
};
