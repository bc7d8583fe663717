// Hands the program's texts, font, icon, title and help files to the
// framework; called once at start, before any window is made.
#pragma once

class TApplication;

void UseProgramResources(TApplication& application);
