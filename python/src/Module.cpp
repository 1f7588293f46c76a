// The lumoaccess module: loads libLumoAccess.so on import, routes its
// message boxes to a Python callable and keeps the reports of each call;
// a caller that opts in (raise_reports(True)) gets the first report of a
// call raised as the exception class of its kind instead.
//
// Process-wide state (the loaded library, the handler, the reports) is
// only touched with the GIL held: operations run with it, and so does the
// library's message handler, which runs on the calling thread.
#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "python/src/Module.h"

namespace lumoaccess {
namespace {

struct Report {
    std::string code;
    std::string description;
    int32_t kind = LumoAccess::kReportOther;
};

// The exception classes, one per kind of report, under ReportError (the
// class of kReportOther and of kinds this module does not know).
struct KindClass {
    int32_t kind;
    const char* name;
    const char* doc;
};
constexpr KindClass kKindClasses[] = {
    {LumoAccess::kReportNotFound, "NotFoundError", "The record or database file named does not exist."},
    {LumoAccess::kReportConstraint, "ConstraintError", "The data's rules refuse the change."},
    {LumoAccess::kReportBusy, "BusyError", "Another connection or program holds the file locked; try again later."},
    {LumoAccess::kReportReadOnly, "ReadOnlyError", "The file or its folder cannot be written."},
    {LumoAccess::kReportDiskFullOrIo, "DiskFullOrIoError", "The disk is full, or reading or writing the file failed."},
    {LumoAccess::kReportDamaged, "DamagedFileError", "The file is damaged or is not a database of the suite."},
    {LumoAccess::kReportBadArgument, "BadArgumentError", "The call passed a value the operation does not take."},
};

struct State {
    void* handle = nullptr;
    LumoAccess::DllGetClassObjectProc factory = nullptr;
    LumoAccess::DllGetTypeLibraryProc typeLibrary = nullptr;
    LumoAccess::LumoGetLastReportKindProc reportKind = nullptr;
    std::vector<Report> reports;
    bool raising = false;       // raise_reports(True)
    py::object reportError;     // the base class
    std::vector<std::pair<int32_t, py::object>> kindErrors;
    py::object handler;  // None: warnings.warn
    std::optional<py::error_already_set> raised;
};

State& state() {
    static State* s = new State;  // lives as long as the interpreter's modules; never destroyed at exit
    return *s;
}

// $LUMOACCESS_LIBRARY when set (a library chosen by hand), then beside the
// module (a pip install keeps both together), then the loader path.
std::string besideModule() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&besideModule), &info) || !info.dli_fname) return {};
    return (std::filesystem::path(info.dli_fname).parent_path() / "libLumoAccess.so").string();
}

void load() {
    State& s = state();
    std::vector<std::string> candidates;
    if (const char* env = std::getenv("LUMOACCESS_LIBRARY")) candidates.emplace_back(env);
    candidates.push_back(besideModule());
    // The installed runtime library by its SONAME (python3-lumoaccess
    // depends on liblumoaccess0), then the development link.
    candidates.emplace_back(LUMO_ACCESS_SONAME);
    candidates.emplace_back("libLumoAccess.so");
    std::string why;
    for (const auto& path : candidates) {
        if (path.empty() || (path.find('/') != std::string::npos && !std::filesystem::exists(path))) continue;
        if ((s.handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))) break;
        why = dlerror();
    }
    if (!s.handle) throw std::runtime_error("cannot load libLumoAccess.so: " + (why.empty() ? "not found" : why));
    s.factory = reinterpret_cast<LumoAccess::DllGetClassObjectProc>(dlsym(s.handle, "DllGetClassObject"));
    s.typeLibrary = reinterpret_cast<LumoAccess::DllGetTypeLibraryProc>(dlsym(s.handle, "DllGetTypeLibrary"));
    if (!s.factory) throw std::runtime_error("libLumoAccess.so has no DllGetClassObject");
    // A library of an earlier version has no kinds: every report is Other.
    s.reportKind = reinterpret_cast<LumoAccess::LumoGetLastReportKindProc>(dlsym(s.handle, "LumoGetLastReportKind"));
}

// A report's text (the message box's, "<code>\r\n<description>") with the
// kind of the calling thread's last report, which it is.
Report reportOf(std::string_view text) {
    const auto split = text.find("\r\n");
    Report report = split == std::string_view::npos
                        ? Report{"", std::string(text)}
                        : Report{std::string(text.substr(0, split)), std::string(text.substr(split + 2))};
    if (state().reportKind) report.kind = state().reportKind();
    return report;
}

py::object exceptionClassOf(int32_t kind) {
    for (const auto& [k, cls] : state().kindErrors)
        if (k == kind) return cls;
    return state().reportError;
}

// Makes the exception classes and puts them into the module.
void defineExceptions(py::module_& m) {
    State& s = state();
    const auto type = py::module_::import("builtins").attr("type");
    const auto dict = [](int32_t kind, const char* doc) {
        py::dict d;
        d["kind"] = kind;
        d["__doc__"] = doc;
        d["__module__"] = "lumoaccess";
        return d;
    };
    s.reportError = type("ReportError", py::make_tuple(py::reinterpret_borrow<py::object>(PyExc_Exception)),
                         dict(LumoAccess::kReportOther,
                              "A report of the library raised (raise_reports(True)); code, description and kind say "
                              "which. Also the class of reports of no other kind."));
    m.attr("ReportError") = s.reportError;
    for (const KindClass& k : kKindClasses) {
        py::object cls = type(k.name, py::make_tuple(s.reportError), dict(k.kind, k.doc));
        s.kindErrors.emplace_back(k.kind, cls);
        m.attr(k.name) = cls;
    }
}

[[noreturn]] void raiseReport(const Report& report) {
    py::object error = exceptionClassOf(report.kind)(report.code.empty() ? report.description
                                                                          : report.code + ": " + report.description);
    error.attr("code") = report.code;
    error.attr("description") = report.description;
    error.attr("kind") = report.kind;
    PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(error.ptr())), error.ptr());
    throw py::error_already_set();
}

int32_t onMessage(void*, const char* text, int32_t buttons, int32_t, const char*) {
    py::gil_scoped_acquire gil;
    State& s = state();
    const Report report = reportOf(text ? text : "");
    try {
        if (buttons == LumoAccess::kButtonsOK) s.reports.push_back(report);
        if (s.raising && s.handler.is_none()) {
            // The report becomes the call's exception (endCall) instead of a warning.
        } else if (s.handler.is_none()) {
            py::module_::import("warnings")
                .attr("warn")(report.code.empty() ? report.description : report.code + ": " + report.description,
                              py::module_::import("lumoaccess").attr("ReportWarning"), 2);
        } else {
            s.handler(report.code, report.description);
        }
    } catch (py::error_already_set& e) {
        if (!s.raised) s.raised.emplace(std::move(e));
    } catch (...) {
    }
    return -1;  // questions get the safe answer
}

void install() {
    auto set = reinterpret_cast<LumoAccess::LumoSetMessageHandlerProc>(dlsym(state().handle, "LumoSetMessageHandler"));
    if (!set) throw std::runtime_error("libLumoAccess.so has no LumoSetMessageHandler");
    set(&onMessage, nullptr);
}

}  // namespace

LumoAccess::DllGetClassObjectProc factory() { return state().factory; }
LumoAccess::DllGetTypeLibraryProc typeLibrary() { return state().typeLibrary; }

void beginCall() {
    state().reports.clear();
    state().raised.reset();
}

void endCall() {
    if (auto raised = std::exchange(state().raised, std::nullopt)) throw std::move(*raised);
    // The first report of the call is its cause; the others follow from it.
    if (state().raising && !state().reports.empty()) raiseReport(state().reports.front());
}

}  // namespace lumoaccess

PYBIND11_MODULE(lumoaccess, m) {
    using namespace lumoaccess;
    m.doc() = "The Lumo suite's data-access library (libLumoAccess.so) for Python";
    state().handler = py::none();
    load();
    install();
    auto warning = py::reinterpret_borrow<py::object>(PyExc_UserWarning);
    m.attr("ReportWarning") = py::module_::import("builtins").attr("type")("ReportWarning", py::make_tuple(warning),
                                                                          py::dict());
    m.def(
        "set_report_handler",
        [](py::object handler) {
            py::object previous = state().handler;
            state().handler = std::move(handler);
            return previous;
        },
        py::arg("handler"),
        "Calls handler(code, description) for every report; None restores warnings.warn. Returns the previous one.");
    defineExceptions(m);
    m.def(
        "raise_reports",
        [](bool enabled) { return std::exchange(state().raising, enabled); },
        py::arg("enabled"),
        "True: the first report of a call is raised after the call as the ReportError subclass of its kind "
        "(NotFoundError, ConstraintError, BusyError, ReadOnlyError, DiskFullOrIoError, DamagedFileError, "
        "BadArgumentError) instead of a warning, and the call returns nothing; a report handler is still called. "
        "False (the default): reports are warnings and the results carry the error flags. Returns the previous "
        "setting.");
    m.def(
        "errors",
        [] {
            py::list out;
            for (const auto& r : state().reports) out.append(py::make_tuple(r.code, r.description));
            return out;
        },
        "The reports (code, description) of the last call.");
    const LumoAccess::TypeLibraryInfo* info = typeLibrary() ? typeLibrary()() : nullptr;
    m.attr("library_description") = info ? info->description : "";
    bindRecords(m);
    bindClasses(m);
}
