#pragma once

class Engine;
class Form1;
class Scr;

// The single instances the procedures work on: the two main windows and the playback control.
// Start-up creates them; tests install their own (and doubles for the engine).
Form1& form1();
Scr& scr();
Engine& engine();

void installForm1(Form1* window);
void installScr(Scr* window);
void installEngine(Engine* control);
bool scrExists();
bool engineExists();
bool form1Exists();
