// Servers that registered themselves.
#pragma once

void callSelfRegistration(const char* prefix, const char* path, bool registerServer);
