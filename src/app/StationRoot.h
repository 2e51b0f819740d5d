#pragma once
// The station put together: the data module, the main window with its views, and the bridge
// that carries the poll thread's effects to the window, in the order the cycle made them.
// Creating it opens the port, starts polling, writes the start record and opens the mimic;
// everything that reports is connected before the first record is written.
#include "DataModule.h"

#include <QObject>
#include <QString>
#include <memory>

class TMainFormKorvel;

class StationRoot {
public:
    struct Options {
        QString workDir;      // tables and language files
        QString device;       // a serial device instead of the one the settings name
        QString settingsFile; // korvel.ini
    };
    explicit StationRoot(const Options& options);
    ~StationRoot();
    StationRoot(const StationRoot&) = delete;
    StationRoot& operator=(const StationRoot&) = delete;

    TMainFormKorvel& mainForm() { return *form_; }
    TDM& dataModule() { return dm_; }

private:
    void wire();

    QObject bridge_;
    TMainFormKorvel* main_ = nullptr; // set once the window exists; queued calls use it
    TDM dm_;
    std::unique_ptr<TMainFormKorvel> form_;
};
