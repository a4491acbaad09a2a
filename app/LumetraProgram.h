// The program block: what starts Lumetra, in the order it must happen, and what ends it. The executable
// only calls RunLumetra; tests call the steps on the headless display.
#pragma once

// Every class the program's layouts create by name.
void RegisterLumetraClasses();

// With the window system up: the title, the long-lived forms in their order (the About box first, since
// every window's styler follows its application styler), then the main window made the main form.
void CreateLumetraForms();

// Start-up, the message loop and the end of the program; answers the exit code. Without a display it
// prints one line saying so and answers 1.
int RunLumetra(int argc, char** argv);
