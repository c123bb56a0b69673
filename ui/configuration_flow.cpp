#include "ui/configuration_flow.h"

#include "log/log.h"

namespace {
const char kModuleName[] = "MFP";
}  // namespace

ConfigurationFlow::ConfigurationFlow(PauseBoards pauseBoards) : pauseBoards(std::move(pauseBoards)) {}

int ConfigurationFlow::AddPage(const ProfileFile& profile, const std::string& iniPath, const std::string& section,
                               UserMessages& messages) {
    auto page = std::make_unique<PanelPage>();
    page->section = section;
    page->model.Load(profile, iniPath, section, messages);
    pages.push_back(std::move(page));
    return PageCount() - 1;
}

bool ConfigurationFlow::OnKeys(int page, const uint8_t* keys) {
    PanelPage& panel = *pages[static_cast<std::size_t>(page)];
    bool queued = false;
    for (const auto& [port, bit] : panel.edges.OnReport(keys)) {
        std::lock_guard<std::mutex> guard(queueLock);
        if (closed) return false;
        pressed.push_back({page, InputKey(port, bit)});
        queued = true;
    }
    return queued;
}

std::optional<PickRequest> ConfigurationFlow::NextPick() {
    if (current) return std::nullopt;
    {
        std::lock_guard<std::mutex> guard(queueLock);
        while (!closed && !pressed.empty() && !current) {
            PickRequest request = pressed.front();
            pressed.pop_front();
            const PanelPage& panel = *pages[static_cast<std::size_t>(request.page)];
            // A switch without a row (beyond SW15, or any switch of a page whose key was corrupt)
            // opens no picker: what the user chose there could not be shown or saved.
            if (panel.model.RowOfKey(request.key) >= 0) current = request;
            else theLog.Write(0, kModuleName, "Switch %s of %s has no row\n", request.key.c_str(), panel.section.c_str());
        }
    }
    // Outside the lock: pausing waits for the boards' cycles, which may be queueing a press.
    if (current && pauseBoards) pauseBoards(true);
    return current;
}

int ConfigurationFlow::PickEnded(const std::optional<EventChoice>& choice) {
    if (!current) return -1;
    const PickRequest request = *current;
    current.reset();
    if (pauseBoards) pauseBoards(false);
    if (!choice || IsClosed()) return -1;
    return Page(request.page).SetInput(request.key, choice->eventId, choice->value);
}

void ConfigurationFlow::Close() {
    std::lock_guard<std::mutex> guard(queueLock);
    closed = true;
    pressed.clear();
}

bool ConfigurationFlow::IsClosed() const {
    std::lock_guard<std::mutex> guard(queueLock);
    return closed;
}

std::vector<std::string> ConfigurationFlow::ChangedOnDisk(const ProfileFile& profile, const std::string& iniPath) const {
    std::vector<std::string> changed;
    for (const auto& page : pages) {
        const std::string stored =
            profile.GetString(page->section, kInputsKey, DefaultInputsLine(), kConfigValueBufferSize, iniPath);
        if (page->model.Changed() && stored != page->model.LoadedValue()) changed.push_back(page->section);
    }
    return changed;
}

std::vector<std::string> ConfigurationFlow::Save(const ProfileFile& profile, const ProfileFile& onDisk,
                                                 const std::string& iniPath) const {
    std::vector<std::string> failed;
    for (const auto& page : pages) {
        SaveResult result = page->model.SaveInputs(profile, iniPath, page->section);
        const std::string written = FormatInputsLine(page->model.ExportRows());
        if (result == SaveResult::Written &&
            onDisk.GetString(page->section, kInputsKey, std::string(), kConfigValueBufferSize, iniPath) != written)
            result = SaveResult::WriteFailed;
        switch (result) {
            case SaveResult::Written:
                theLog.Write(0, kModuleName, "Saved the inputs of %s\n", page->section.c_str());
                break;
            case SaveResult::WriteFailed:
                failed.push_back(page->section);
                break;
            case SaveResult::Unchanged:
            case SaveResult::NoRows:
                break;
        }
    }
    return failed;
}
