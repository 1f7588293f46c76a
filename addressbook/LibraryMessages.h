#pragma once
// Every message box of the process (the library's reports and questions,
// and the program's own) as one modal Japanese QMessageBox. The handler is
// installed through the library's published entry point
// LumoSetMessageHandler, so the library reaches the screen the way any
// client's handler would be reached.
//
// One per program, made on the GUI thread after QApplication and before the
// first library call; while it lives the boxes appear, and its end restores
// the library's default (standard error, the safe answer).
namespace lumo::book {

class LibraryMessages {
public:
    // Throws lumo::Error when the library cannot be loaded or lacks the
    // entry point.
    LibraryMessages();
    ~LibraryMessages();
    LibraryMessages(const LibraryMessages&) = delete;
    LibraryMessages& operator=(const LibraryMessages&) = delete;
};

}  // namespace lumo::book
