// The registered host callbacks and the analyser's initialisation.
#include "latin/latin_host.h"

#include "latin/latin_options.h"

LatinHostCallbacks g_latinHost;
int g_latinDataLoaded = 0;

int InitLatinAnalyser(const LatinHostCallbacks& callbacks) {
    g_latinHost = callbacks;
    g_wordOptions.SetDefaults();
    g_developerOptions.SetDefaults();
    return 0;
}
