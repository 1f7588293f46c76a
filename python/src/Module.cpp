// The lumoaccess module: loads libLumoAccess.so on import, routes its
// message boxes to a Python callable and keeps the reports of each call.
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
};

struct State {
    void* handle = nullptr;
    LumoAccess::DllGetClassObjectProc factory = nullptr;
    LumoAccess::DllGetTypeLibraryProc typeLibrary = nullptr;
    std::vector<Report> reports;
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
}

int32_t onMessage(void*, const char* text, int32_t buttons, int32_t, const char*) {
    py::gil_scoped_acquire gil;
    State& s = state();
    const std::string_view all(text ? text : "");
    const auto split = all.find("\r\n");
    Report report = split == std::string_view::npos
                        ? Report{"", std::string(all)}
                        : Report{std::string(all.substr(0, split)), std::string(all.substr(split + 2))};
    try {
        if (buttons == LumoAccess::kButtonsOK) s.reports.push_back(report);
        if (s.handler.is_none()) {
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
