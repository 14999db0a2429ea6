// The common open-file and save-file dialogs, keeping the file name they last
// held between uses.
#pragma once

#include <string>

class TOpenDialog {
public:
    // `filter` uses "|" between description and pattern, as "Sound file (*.WAV)|*.WAV".
    TOpenDialog(const std::string& defaultExt, const std::string& filter, const std::string& title);

    std::string DefaultExt, Filter, Title;
    std::string FileName;  // preset before Execute, the choice after it

    // Runs the dialog; answers true when the user confirmed a file.
    bool Execute();
};

// The save-file dialog: asks before replacing a file that exists.
class TSaveDialog {
public:
    TSaveDialog(const std::string& defaultExt, const std::string& filter, const std::string& title);

    std::string DefaultExt, Filter, Title;
    std::string FileName;  // preset before Execute, the choice after it

    bool Execute();
};
