// What the framework shows the user comes from the program it serves: its
// texts, its dialog font and its window icon, handed over once at start.
#pragma once

struct TProgramResources {
    // A refused profile write; %s is the file's path.
    const char* WriteFailed = "%s cannot be written";
    // The system had no timer to give.
    const char* TimerUnavailable = "No timer is available";
    // The face of a new TFont.
    const char* FontName = "MS Shell Dlg";
    // The icon resource of the program's window classes; 0 for none.
    int IconId = 0;
};

// The resources handed over, or the defaults above; lives for the whole run.
const TProgramResources& ProgramResources();
void SetProgramResources(const TProgramResources& resources);
