// Holds the precompiled headers that the project's targets reuse.
int main() {
    return 0;
}
