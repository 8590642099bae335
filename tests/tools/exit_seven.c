/* Exits with status 7: a Wine that cannot really run a program of this build's kind makes it
   look like status 0, which the test set-up checks for. */
int main(void)
{
    return 7;
}
