// Start-up and the choice of the run mode.
#pragma once

enum class RunMode { install, backup };

// Start-up (main thread): initialises the archiver, derives the program
// title, joins the parameters into the source path and reads the settings.
// An empty source path selects install mode; otherwise the four preparation
// steps run, and a failing one ends the process with its exit code.
RunMode startProgram();
