// The panel set manager: the set of attached panels and the operations on the whole set.
// Used only from the host's thread.
//
// The boards, their registry and the panel workers join in later steps; until then the set is
// always empty: LoadMFPs starts nothing and returns 0.
#pragma once

class CMFP {
public:
    CMFP() = default;
    virtual ~CMFP() = default;
    CMFP(const CMFP&) = delete;
    CMFP& operator=(const CMFP&) = delete;

    // Loads once and starts one worker per panel; returns the number of panels started. A second
    // load without UnloadMFPs in between returns 0 and starts nothing.
    int LoadMFPs();
    // Stops every worker, waits for each, closes all boards. Harmless on an empty set.
    void UnloadMFPs();
    // The configuration dialog with every panel's inputs stopped meanwhile.
    void RunConfiguration();
    void StopAllInputs();
    void StartAllInputs();

    bool IsLoaded() const { return loaded; }
    bool IsRunning() const { return running; }

private:
    bool loaded = false;
    // The workers' run flag: written only here, on the host's thread, and only from true to false
    // once workers exist.
    bool running = false;
};
