#include "app/extractor_app.h"

int main() { return coffer::RunExtractor(); }
