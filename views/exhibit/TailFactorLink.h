#pragma once
// The one connection of this program to the tail-factor program "crx",
// shared by every exhibit view: at most one tail analysis is open in the
// whole application. A view connects, sends its analysis with its own window
// for the answers, and on the answer reads the analysis back. Only the view
// that opened the connection ends it, so closing another exhibit view never
// cuts the open analysis off. Every failure ends the connection and says why,
// so a later New or Edit is never told that an analysis is "already open"
// when nothing is.
#include <QString>

#include "Automation.h"
#include "AutomationClient.h"
#include "HResult.h"

class CTailFactorAnalysis;

class TailFactorLink {
public:
    static constexpr char kProgId[] = "Crx.CRX_App";

    enum class Connect { Connected, AlreadyOpen, Failed };

    static TailFactorLink& Shared();

    bool IsOpen() const { return m_client.IsBound(); }
    // Whether the open analysis is owner's and the tail program that took it
    // is still running. A program that went without answering (it crashed or
    // was killed) can send nothing back: the connection ends and this is false,
    // so the exhibit that sent the analysis is not held open for ever.
    bool IsOpenFor(const void* owner);
    // Whether the bus can start crx (asked once, then remembered: the
    // commands ask on every menu update).
    bool IsAvailable();
    const void* Owner() const { return m_owner; }

    // Starts (or binds to) crx for owner. AlreadyOpen while any connection
    // exists; Failed with the result code and the system's text otherwise.
    Connect Open(const void* owner, HRESULT* hr = nullptr, QString* error = nullptr);
    // put_Data, RegisterCallback with the owner's window, RunAnalysis. A
    // failure of any releases the connection and returns false with the text.
    bool Send(const CTailFactorAnalysis& analysis, const qs::automation::WindowHandle& window,
              QString* error = nullptr);
    // Brings the open analysis forward.
    bool Display();
    // get_Data into *into (only a whole analysis replaces it) and the
    // saved copy's dirty flag. False (into untouched) on any failure.
    bool ReadBack(CTailFactorAnalysis* into, bool* dirty, QString* error = nullptr);
    // Ends the connection when owner holds it (crx is told the caller let go).
    void Release(const void* owner);

    // The text a failed connection shows (the HRESULT's system text).
    static QString FailureText(HRESULT hr, const QString& detail);

private:
    void Drop();

    qs::automation::AutomationClient m_client;
    const void* m_owner = nullptr;
    int m_available = -1;  // -1 not asked yet
};
