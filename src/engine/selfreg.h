// Servers that registered themselves.
#pragma once

unsigned long callSelfRegistration(const char* prefix, const char* path, bool registerServer);
