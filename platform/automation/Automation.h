#pragma once
// Automation over the D-Bus session bus.
//
// A ProgID names a server: "Quillstone.QSEE" is the bus name
// "org.quillstone.Quillstone_QSEE" (ServiceNameOf: every character that is
// not a letter or digit becomes "_", so the whole ProgID is one element of
// the name). Every server answers one interface, kInterface, at
// kApplicationPath: Invoke(name, args) -> (result, by-reference args), a
// late-bound call by method name; GetDispatchId(name) -> id, -1 when unknown.
//
// Registration writes "<ServiceName>.service" into the activation folder
// (QS_DBUS_SERVICE_DIR, else $XDG_DATA_HOME/dbus-1/services), so the first
// call to the name starts the program with "/Automation". A window handle
// passed to another process is a WindowHandle: the caller's unique bus name
// and the path of an object it exports; "is window" is "the name still has
// an owner".
#include <QString>
#include <QStringList>

namespace qs::automation {

inline constexpr char kInterface[] = "org.quillstone.Automation";
inline constexpr char kApplicationPath[] = "/org/quillstone/Application";

QString ServiceNameOf(const QString& progId);

// The folder activation files go to (created on registration).
QString ServiceDirectory();

// Writes the activation file for progId: the program and its arguments
// (by default the automation switch). Atomic (temp file + rename). After
// writing, the bus is asked to reload its service folders.
bool RegisterServer(const QString& progId, const QString& program,
                    const QStringList& arguments = {QStringLiteral("/Automation")},
                    QString* error = nullptr);
bool UnregisterServer(const QString& progId);

// The stand-in for looking a ProgID up in the class registry: true when the
// bus can start the server (an activation file is known to it) or a server
// runs under that name.
bool IsServerKnown(const QString& progId);
// A running server (no activation).
bool IsServerRunning(const QString& progId);
// Starts the server by name when it is not running; true once it runs.
bool ActivateServer(const QString& progId, int timeoutMs = 25000, QString* error = nullptr);

// Passes the named variables of this process to programs the bus starts
// (an activated server sees the bus's environment, not the caller's).
bool UpdateActivationEnvironment(const QStringList& names);

struct WindowHandle {
    QString busName;  // unique name (":1.42") of the owning connection
    QString path;     // object path of the exported object
    bool IsNull() const { return busName.isEmpty(); }
    // "busname path", the form that crosses processes as text.
    QString ToString() const;
    static WindowHandle FromString(const QString& text);
    bool operator==(const WindowHandle&) const = default;
};

// This process's handle for an object it exports at path.
WindowHandle LocalWindowHandle(const QString& path);

// True while the handle's connection is on the bus.
bool IsWindow(const WindowHandle& handle);

// The "started for automation or embedding" switches as the server programs
// receive them: "/Automation", "-Automation", "/Embedding", "-Embedding"
// (case-insensitive).
bool IsAutomationSwitch(const QString& argument);
bool IsEmbeddingSwitch(const QString& argument);

}  // namespace qs::automation
