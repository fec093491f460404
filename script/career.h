// Career state and save slots.
#pragma once

void dunReadStateFile();
void dunWriteStateFile();
void dunReadCaptainSlot();
void dunWriteCaptainSlot();
