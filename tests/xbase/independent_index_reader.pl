#!/usr/bin/perl -w
# Walks every tag of every .cdx named on standard input (one path a line) with the Perl XBase
# reader, as index_dump does, and prints one line per refusal: "<path>\t<tag>\t<error>".
use strict;
use XBase::Index;

while (my $file = <STDIN>) {
    chomp $file;
    next unless $file;
    my $directory = eval { XBase::Index->new($file, 'type' => 'C') };
    if (!$directory) { print "$file\t-\t" . (XBase::Index->errstr || $@ || 'não abriu') . "\n"; next; }
    foreach my $tag ($directory->tags) {
        my $ok = eval {
            my $index = XBase::Index->new($file, 'tag' => $tag, 'type' => 'C') or die XBase::Index->errstr;
            $index->prepare_select or die $index->errstr;
            my $n = 0;
            while (my @data = $index->fetch()) { die "laço\n" if ++$n > 10_000_000; }
            die $index->errstr if $index->errstr;
            1;
        };
        print "$file\t$tag\t" . ($@ || 'erro') . "\n" unless $ok;
    }
}
