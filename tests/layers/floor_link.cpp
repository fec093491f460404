// A program of one floor's library, linked whole: it links only when
// nothing in the floor calls a floor above it.
int main() { return 0; }
