// The inter-object message buffer.
#pragma once

void dunMsgInit();
void dunMsgShutdown();
