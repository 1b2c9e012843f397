#pragma once

// The program's own modules (vald-udp.so, vald-xlsx.so) hold the parts whose libraries the window
// needs only on first use (Qt Network for the exchanges, libxlsxwriter for workbooks), so that
// loading them costs nothing at start. The command-line programs and the tests link the same code
// in; the window loads the module the first time it is needed, from the program's folder (a build)
// or the installed module folder.

// The entry point `function` of the module `module` ("vald-udp"), loaded once for the whole
// process. Throws ValdError naming the module when it cannot be found or loaded.
void* ProgramModuleFunction(const char* module, const char* function);

// The entry point `function` as the program has it: `linked` when the program links the module's code
// in (a weak reference, null otherwise), else the module's own.
template <typename Function>
Function* LinkedOrModuleFunction(Function* linked, const char* module, const char* function) {
  return linked ? linked : reinterpret_cast<Function*>(ProgramModuleFunction(module, function));
}
