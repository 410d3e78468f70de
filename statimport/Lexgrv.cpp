// The import engine's two entry points, looked up by name after dlopen.
// The interface object itself comes with the import engine.
extern "C" void* GetLexigroveInstance() { return nullptr; }
extern "C" void ReleaseLexigroveInstance(void*) {}
