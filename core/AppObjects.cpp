#include "core/AppObjects.h"

#include "panel/Form1.h"
#include "playback/Engine.h"
#include "screen/Scr.h"

#include <cassert>

namespace {
Form1* theForm1 = nullptr;
Scr* theScr = nullptr;
Engine* theEngine = nullptr;
}

Form1& form1()
{
    assert(theForm1);
    return *theForm1;
}

Scr& scr()
{
    // The screen window comes into being on first use, as the panel's load expects.
    if (!theScr)
        theScr = new Scr;
    return *theScr;
}

Engine& engine()
{
    assert(theEngine);
    return *theEngine;
}

void installForm1(Form1* window) { theForm1 = window; }
void installScr(Scr* window) { theScr = window; }
void installEngine(Engine* control) { theEngine = control; }
bool scrExists() { return theScr != nullptr; }
bool engineExists() { return theEngine != nullptr; }
bool form1Exists() { return theForm1 != nullptr; }
