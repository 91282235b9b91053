#include "Workspace.h"

namespace vantrel {

Workspace::Workspace(Platform& p)
    : platform(p), system(p.system), ui(p.ui), clock(p.clock), TimerRécursif(p.clock) {
    lists.ListExport.setVisible(false);
}

void Workspace::setRecentCaption(int index, const QString& caption) {
    if (ouvrap.at(index) == caption) {
        return;
    }
    ouvrap.at(index) = caption;
    emit recentMenuChanged();
}

void Workspace::setCaption(const QString& caption) {
    caption_ = caption;
    emit captionChanged(caption_);
}

void Workspace::inform(const QString& text, const QString& title, Icon icon) {
    Message message;
    message.text = text;
    message.title = title;
    message.icon = icon;
    ui.show(message);
}

void Workspace::setBoard(const BoardRows& rows) {
    board_ = rows;
    lists.Listécritures.assign(rowTexts(rows));
}

void Workspace::setBoardRow(int row, const BoardRow& content) {
    board_[row] = content;
    lists.Listécritures.replace(row, content.text);
    emit boardRowChanged(row, content);
}

void Workspace::startPass(std::function<void()> pass) {
    setPassRunning(true);
    passRunner_(std::move(pass), [this] { setPassRunning(false); });
}

void Workspace::setPassRunning(bool running) {
    passRunning_ = running;
    ui.setPassUnderWay(running);
    if (running) {
        emit passStarted();
    } else {
        emit passFinished();
    }
}

} // namespace vantrel
