// Exits 0: proves that Windows programs of this build can run here.
int main() { return 0; }
