// The configuration dialog's flow without windows: from a switch pressed on a panel, through
// the event picker, to Save. It holds one page per panel board (its rows, as InputPageModel
// keeps them, and its switch edges), the presses waiting for a picker, whether a picker is open
// and the boards paused for it, whether the dialog is closing, and the file as each page loaded
// it.
//
// Threads: a board's key-matrix thread calls OnKeys and nothing else; it only queues the press,
// and the dialog's thread, told by a posted message, opens the picker. No window ever opens
// under a board's device lock, and closing the dialog never waits for a picker on another
// thread. Everything else runs on the dialog's thread.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "ui/input_page_model.h"

// A switch that went on and has a row: the picker is opened for it.
struct PickRequest {
    int page = 0;
    std::string key;  // "0000".."0106"
};

class ConfigurationFlow {
public:
    // Pauses (true) or resumes (false) every board's switch reports, on the dialog's thread.
    using PauseBoards = std::function<void(bool paused)>;
    explicit ConfigurationFlow(PauseBoards pauseBoards);

    // Before any board reports: a page for the board of the section, read from the file (a
    // corrupt key is shown to the user and leaves the page without rows). Returns its index.
    int AddPage(const ProfileFile& profile, const std::string& iniPath, const std::string& section,
                UserMessages& messages);
    int PageCount() const { return static_cast<int>(pages.size()); }
    const InputPageModel& Page(int page) const { return pages[static_cast<std::size_t>(page)]->model; }
    InputPageModel& Page(int page) { return pages[static_cast<std::size_t>(page)]->model; }

    // On the page's board thread: queues the switches that went on. True when one was queued and
    // the dialog's thread has to be told.
    bool OnKeys(int page, const uint8_t* keys);

    // The next queued press with a row, when no picker is open and the dialog is not closing:
    // the boards are paused until PickEnded. Presses without a row are dropped (and logged).
    std::optional<PickRequest> NextPick();
    // The picker closed: a choice goes to the request's row, which is returned (-1 for none);
    // the boards resume.
    int PickEnded(const std::optional<EventChoice>& choice);
    bool Picking() const { return current.has_value(); }

    // The dialog is closing: no picker opens from now on, and queued presses are dropped.
    void Close();
    bool IsClosed() const;

    // The sections whose stored "Inputs" differ from what their page loaded: someone changed the
    // file while the dialog was open.
    std::vector<std::string> ChangedOnDisk(const ProfileFile& profile, const std::string& iniPath) const;
    // Writes every page whose rows differ from what it loaded; unchanged pages, and the file's
    // own changes to them, are left alone. A write counts once `onDisk`, reading the file's own
    // bytes, finds it there: a platform may accept a write it never makes (a read-only file).
    // Returns the sections that could not be written.
    std::vector<std::string> Save(const ProfileFile& profile, const ProfileFile& onDisk, const std::string& iniPath) const;

private:
    struct PanelPage {
        std::string section;
        InputPageModel model;
        SwitchEdges edges;  // the board's thread only
    };

    PauseBoards pauseBoards;
    std::vector<std::unique_ptr<PanelPage>> pages;
    std::optional<PickRequest> current;

    mutable std::mutex queueLock;  // guards pressed and closed
    std::deque<PickRequest> pressed;
    bool closed = false;
};
