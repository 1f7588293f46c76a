#pragma once
// What the parts of the lumoaccess module share: the loaded library, the
// reports of the current call and the conversions of dates and lists.
#include <pybind11/pybind11.h>

#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "access/LumoAccess.h"

namespace lumoaccess {

namespace py = pybind11;

// The objects of the one libLumoAccess.so the module loaded on import
// (through its factory, as any client does). Refuses a library built for
// another interface or ABI with the library's reason.
LumoAccess::DllGetClassObjectProc factory();
LumoAccess::DllGetTypeLibraryProc typeLibrary();

template <class T>
LumoAccess::Ref<T> create() {
    std::string reason;
    auto object = LumoAccess::createObject<T>(factory(), typeLibrary(), &reason);
    if (!object) throw std::runtime_error(reason);
    return object;
}

// Every call of an operation starts a new list of reports; a report
// handler that raised is raised again once the operation has returned.
void beginCall();
void endCall();

template <class F>
auto call(F&& operation) {
    beginCall();
    if constexpr (std::is_void_v<decltype(operation())>) {
        operation();
        endCall();
    } else {
        auto result = operation();
        endCall();
        return result;
    }
}

// Automation dates as datetime: 0 is None; before 1899-12-30 the fraction
// is the time of day, as the library counts.
py::object toDatetime(double value);
double fromDatetime(const py::handle& value);

// Python lists for the arrays the operations fill or read.
template <class E>
std::vector<E> fromList(const py::list& list) {
    std::vector<E> out;
    out.reserve(list.size());
    for (const auto& item : list) out.push_back(item.cast<E>());
    return out;
}

template <class E>
void fillList(py::list& list, const std::vector<E>& values) {
    PyList_SetSlice(list.ptr(), 0, PyList_GET_SIZE(list.ptr()), nullptr);
    for (const E& v : values) list.append(py::cast(v));
}

void bindRecords(py::module_& m);
void bindClasses(py::module_& m);

}  // namespace lumoaccess
