// The game program.
int main(int, char **) { return 0; }
