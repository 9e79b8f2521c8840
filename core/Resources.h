#pragma once

// Makes the compiled-in artwork (":/name.png") available. The pictures live in the static core
// library, whose resource registration the linker drops unless something refers to it; every
// window that loads artwork calls this first. Cheap after the first call.
void loadResources();
