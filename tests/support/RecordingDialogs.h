// A Dialogs implementation for tests: records every box and file dialog instead of showing it,
// answers file dialogs from a queue (cancel when empty), and installs itself for its lifetime.
#pragma once

#include "Dialogs.h"

#include <QStringList>

#include <deque>
#include <vector>

namespace korv::test {

class RecordingDialogs final : public controls::Dialogs {
public:
    RecordingDialogs() { Dialogs::install(this); }
    ~RecordingDialogs() override { Dialogs::install(nullptr); }

    void showError(QWidget*, const QString& text) override { errors << text; }
    void showMessage(QWidget*, const QString& text) override { messages << text; }
    void showOkCancel(QWidget*, const QString& caption, const QString& text) override {
        okCancelBoxes << caption + QStringLiteral(" | ") + text;
    }
    void showList(QWidget*, const QString& caption, const QString& heading,
                  const QStringList& lines) override {
        lists.push_back({caption, heading, lines});
    }
    std::optional<FileChoice> getOpenFile(QWidget*, const FileDialog& dialog) override {
        openDialogs.push_back(dialog);
        return answer();
    }
    std::optional<FileChoice> getSaveFile(QWidget*, const FileDialog& dialog) override {
        saveDialogs.push_back(dialog);
        return answer();
    }

    // The next file dialog chooses `path` with file type `filterIndex`; cancel() cancels it.
    void choose(const QString& path, int filterIndex = 0) {
        answers.push_back(FileChoice{path, filterIndex});
    }
    void cancel() { answers.push_back(FileChoice{}); }

    QStringList errors;
    QStringList messages;
    QStringList okCancelBoxes; // "caption | text"
    struct List {
        QString caption;
        QString heading;
        QStringList lines;
    };
    std::vector<List> lists;
    std::vector<FileDialog> openDialogs;
    std::vector<FileDialog> saveDialogs;
    std::deque<FileChoice> answers; // an empty path cancels

private:
    std::optional<FileChoice> answer() {
        if (answers.empty())
            return std::nullopt;
        FileChoice next = std::move(answers.front());
        answers.pop_front();
        if (next.path.isEmpty())
            return std::nullopt;
        return next;
    }
};

} // namespace korv::test
