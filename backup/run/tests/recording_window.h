// A RunWindow without a screen: keeps what the run writes, the way the backup window does.
#pragma once

#include "backup/run/run_window.h"

#include <QStringList>

#include <functional>

using namespace ombrix;
using namespace shared;

class RecordingWindow : public RunWindow {
  public:
    QString state = QStringLiteral("0");
    QString caption = QStringLiteral("Salva");
    QString current;
    QString list; // the whole text of the list, lines joined by CR LF
    QStringList percents;
    int highlightedAtEntry = 0; // 1-based; 0 while never highlighted
    double frame = 240;
    float bar = 240;
    QString folder;
    QStringList failures;
    int entriesShown = 0;
    std::function<void(const QString& entry)> onEntry; // called as each entry is shown

    QString runState() const override { return state; }
    void setRunState(const QString& s) override { state = s; }
    void setButtonCaption(const QString& c) override { caption = c; }
    void setCurrentEntry(const QString& text) override {
        current = text;
        ++entriesShown;
    }
    void prependEntry(const QString& entry) override {
        list = entry + QStringLiteral("\r\n") + list;
        if (onEntry)
            onEntry(entry);
    }
    void appendLine(const QString& line) override { list += QStringLiteral("\r\n") + line; }
    void replaceList(const QString& text) override { list = text; }
    void setPercentCaption(const QString& c) override { percents.append(c); }
    void highlightPercent() override {
        if (!highlightedAtEntry)
            highlightedAtEntry = entriesShown;
    }
    double frameWidth() const override { return frame; }
    void setBarWidth(float width) override { bar = width; }
    QString destinationFolder() const override { return folder; }
    void failWith(const QString& text) override { failures.append(text); }
    void failWith(const FileFailure& failure) override {
        failures.append(QString::fromStdString(failure.file.string()));
    }
};
